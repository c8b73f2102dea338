#pragma once

namespace qm {

// Loads Qt's own Japanese texts (the buttons of message boxes, the folder chooser) whatever the
// locale, also under C and POSIX. False when the translation is not installed.
bool loadQtTranslation();

// The windows are laid out in fixed positions for a 9-point Japanese UI font, with the
// program's icon on every window and message box.
void useProgramLook();

}  // namespace qm
