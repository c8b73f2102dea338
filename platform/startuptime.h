#pragma once

#include <QtGlobal>

namespace qm {

// Milliseconds since the process was started by the system (its start time in /proc, to a
// hundredth of a second), so that loading the libraries counts too; since the first call where
// the system does not tell.
double millisecondsSinceProcessStart();

// With QUILLMORN_STARTUP_TIME set, prints "startup N ms" on the error output once the first
// window is on screen and pending events have run, then ends the program: a figure of how long
// the start takes, measured by the program itself.
void reportStartupTimeWhenAsked();

}  // namespace qm
