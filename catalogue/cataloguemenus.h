#pragma once

class QAction;
class QMenuBar;
class QWidget;

namespace qm {

// The menu bar of the catalogue window with its menus and entries ("ファイル", "リスト編集",
// "設定"), named and captioned; the window connects the entries.
class CatalogueMenus {
public:
    explicit CatalogueMenus(QWidget* window);

    QMenuBar* bar;
    QAction* backToMenu;       // mnuMnu
    QAction* exit;             // mnuExit
    QAction* edit;             // mnuUd
    QAction* install;          // mnuAdd
    QAction* remove;           // mnuDel
    QAction* launch;           // mnuKidou
    QAction* open;             // mnuOpen
    QAction* move;             // mnuMove
    QAction* compactLayout;    // mnuComm, checkable
    QAction* registerAtStart;  // mnuAA, checkable
};

}  // namespace qm
