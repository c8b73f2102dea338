#pragma once

namespace qmclean {

// Loads Qt's own Japanese texts (the OK button of the message boxes) whatever the locale, also
// under C and POSIX. False when the translation is not installed.
bool loadQtTranslation();

// The window is laid out in fixed positions for a 9-point Japanese UI font, with the program's
// icon on the window and its message boxes.
void useProgramLook();

}  // namespace qmclean
