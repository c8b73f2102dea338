#pragma once

#include <QString>

#include <optional>

#include "app/windowregistry.h"

namespace qm {

class InstanceLock;

// Reads the argument text (the program's arguments joined by single spaces), sets workFolder and
// listFolder when it names them, and says which window to open first: nothing when the text
// matches no form of the command line.
std::optional<WindowKind> decideStart(const QString& argumentText);

// The start-up: refuses to run beside another instance (with a message), decides as above and
// shows the first window. False when the program has nothing to show and ends.
bool startUp(const QString& argumentText, InstanceLock& lock);

}  // namespace qm
