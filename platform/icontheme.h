#pragma once

#include <QString>

#include "platform/programicon.h"

namespace qm {

// Icons this program puts into the user's icon theme ($XDG_DATA_HOME/icons/hicolor) for the menu
// entries it writes: PNG files under "<size>x<size>/apps/" for the sizes the program has (moved
// to the nearest size the theme knows) and an SVG file under "scalable/apps/".

// The theme folder; "" when the data location is unknown.
QString userIconThemeFolder();

// The icon name of a program's entry in one list folder: "quillmorn-app-" and 16 hex digits of a
// hash of both paths, so that two programs, or one program in two catalogues, never share it.
QString programIconName(const QString& listFolder, const QString& program);

// True for a name programIconName() gives, and only for such: nothing else is ever removed.
bool isProgramIconName(const QString& name);

// Writes the files of an icon under name. Files that are already there and newer than the program
// stay as they are. False when there is nothing to write or a file cannot be written.
bool exportProgramIcon(const QString& name, const ProgramIconFiles& files, const QString& program);

// Removes every file of an icon called name (only when isProgramIconName(name)).
void removeProgramIcon(const QString& name);

// The name of this program's own icon, "quillmorn"; its scalable file is put into the theme when
// the running program carries it and the theme does not have it yet.
QString ownIconName();

}  // namespace qm
