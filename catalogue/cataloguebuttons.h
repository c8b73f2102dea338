#pragma once

class QPushButton;
class QWidget;

namespace qm {

// The push buttons of the catalogue window with their captions and tool tips: the actions on
// the selected entry, "順次登録", "メニューに戻る", and the hidden buttons that serve as the
// window's procedures. The window places and connects them.
class CatalogueButtons {
public:
    explicit CatalogueButtons(QWidget* parent);

    QPushButton* menu;         // Command12
    QPushButton* registerAll;  // Command7
    QPushButton* launch;       // Command10
    QPushButton* openFolder;   // Command11
    QPushButton* move;         // Command1
    QPushButton* remove;       // Command13
    // Hidden.
    QPushButton* loadDirectory;  // Command3
    QPushButton* saveList;       // Command4
    QPushButton* edit;           // Command8
    QPushButton* refreshIcons;   // Command9
};

}  // namespace qm
