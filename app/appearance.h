#pragma once

namespace qm {

// The windows are laid out in fixed positions for a 9-point Japanese UI font, with the
// program's icon on every window and message box.
void useProgramLook();

}  // namespace qm
