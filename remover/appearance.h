#pragma once

namespace qmclean {

// The window is laid out in fixed positions for a 9-point Japanese UI font, with the program's
// icon on the window and its message boxes.
void useProgramLook();

}  // namespace qmclean
