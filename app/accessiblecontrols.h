#pragma once

#include <QString>

class QWidget;

namespace qm {

// What a screen reader finds in a window: every control named, nothing that is not shown.
// - Controls take their name from the label whose buddy they are; buttons, check boxes and
//   list rows speak their own texts. A control without a visible text carries an
//   accessibleName set by its window.
// - Hidden controls (such as the buttons that serve as procedures) are left out of the tree.
// Called by every window once; the names are filled in whenever the window is shown.
void makeAccessible(QWidget* window);

// Names shared by the windows that show a folder's text files and one of them.
QString textFileListName();
QString textFileContentsName();

// Names every control of the window that has none after the label whose buddy it is.
void nameControlsAfterLabels(QWidget* window);

}  // namespace qm
