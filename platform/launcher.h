#pragma once

#include <QString>
#include <QStringList>

namespace qm {

// Starts other programs and opens folders in the desktop's file manager. Tests install a fake
// that records what would have been started.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Starts program detached, with its own arguments (never split), in workingDirectory when not
    // empty. A Windows ".exe" on Linux is started through wine when wine is on the PATH.
    // False, with a reason, when it could not be started.
    virtual bool start(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory, QString* error) = 0;

    // Opens a folder in the desktop's file manager.
    virtual bool openFolder(const QString& path) = 0;

    static Launcher& instance();
    // Installs a launcher (not owned); nullptr restores the real one.
    static void setInstance(Launcher* launcher);
};

// The program and arguments that start target on this platform: an ".exe" goes through wine on
// Linux ({"wine", {target, args...}}) when wine is on the PATH.
struct Command {
    QString program;
    QStringList arguments;
};
Command commandFor(const QString& target, const QStringList& arguments);

// A command that starts command in *workingDirectory even when a path in it holds bytes that are
// not text (see pathbytes.h), which a process cannot be given as text: such a command becomes a
// short "/bin/sh -c" script that rebuilds every byte with printf, changes to the folder itself
// and clears *workingDirectory. Any other command is returned as it is.
Command startableCommand(const Command& command, QString* workingDirectory);

}  // namespace qm
