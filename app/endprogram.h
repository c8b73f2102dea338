#pragma once

#include <functional>

namespace qm {

// Ends the program: every window closes without its unload handling and the event loop stops.
// Callers return at once after calling it.
void endProgram();

// True once endProgram() has been called.
bool programEnded();

// Replaces what ending does (tests observe it instead of stopping the process); an empty
// function restores the real behaviour. Also clears programEnded().
void setEndProgramHandler(std::function<void()> handler);

}  // namespace qm
