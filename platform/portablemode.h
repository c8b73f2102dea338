#pragma once

#include <QString>
#include <QStringList>

namespace qm {

// Portable mode: when the folder of the running executable holds a file named "portable", or the
// program was started with "--portable", that folder is the program's own folder: the list
// folders live beside the executable and the preferences are an "orvalde.ini" there instead of
// in the user's configuration folder; Qt's own settings (the file dialog's history) go there too.
// A folder the program cannot write to is not used.
class PortableMode {
public:
    enum class Outcome { Off, On, Unwritable };

    // Decides for the executable's folder and applies the result for the rest of the run.
    static Outcome start(const QString& executableFolder, bool switchGiven);
    // Back to the normal folders (tests).
    static void stop();

    static bool isActive();
    // The portable folder without a trailing separator; "" when not active.
    static QString folder();

    // The arguments a shortcut that starts the program again carries: arguments, after the
    // switch when this run was made portable by it (the marker file needs nothing).
    static QString shortcutArguments(const QString& arguments);

    // The command-line switch, and the marker file's name.
    static QString switchText();
    static QString markerName();
};

// Removes a leading "--portable" from the arguments; true when it was there.
bool takePortableSwitch(QStringList& arguments);

// True when a file can be created in folder (and is removed again): the only test that holds for
// every user, read-only mounts and access lists included.
bool isWritableFolder(const QString& folder);

}  // namespace qm
