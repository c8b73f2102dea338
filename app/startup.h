#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "app/windowregistry.h"

namespace qm {

class InstanceLock;

// Portable mode for the executable's folder (see PortableMode): takes a leading "--portable" off
// the arguments and, when the folder cannot be written to, says so; the normal folders are used
// then.
void startPortableMode(QStringList& arguments, const QString& executableFolder);

// Reads the argument text (the program's arguments joined by single spaces), sets workFolder and
// listFolder when it names them, and says which window to open first: nothing when the text
// matches no form of the command line.
std::optional<WindowKind> decideStart(const QString& argumentText);

// The start-up: refuses to run beside another instance (with a message), decides as above and
// shows the first window. False when the program has nothing to show and ends.
bool startUp(const QString& argumentText, InstanceLock& lock);

}  // namespace qm
