#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "app/windowregistry.h"

namespace qm {

class InstanceChannel;
class InstanceLock;

// Portable mode for the executable's folder (see PortableMode): takes a leading "--portable" off
// the arguments and, when the folder cannot be written to, says so; the normal folders are used
// then.
void startPortableMode(QStringList& arguments, const QString& executableFolder);

// Reads the argument text (the program's arguments joined by single spaces), sets workFolder and
// listFolder when it names them, and says which window to open first: nothing when the text
// matches no form of the command line.
std::optional<WindowKind> decideStart(const QString& argumentText);

// Shows the window decided above; a file to install without a working folder to take it opens
// the main menu with a message.
void showStartWindow(WindowKind first);

// The start-up: hands the argument text to the running instance when there is one (through
// channel) and ends, or refuses to run beside it with a message when it cannot take it; else
// decides as above, shows the first window and listens on channel for later starts. False when
// the program has nothing to show and ends.
bool startUp(const QString& argumentText, InstanceLock& lock, InstanceChannel* channel = nullptr);

// The message of a start that the running instance cannot take.
QString alreadyRunningMessage();

}  // namespace qm
