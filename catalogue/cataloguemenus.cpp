#include "catalogue/cataloguemenus.h"

#include "catalogue/windowtext.h"

#include <QMenuBar>

namespace qm {
namespace {

QMenu* menu(QMenuBar* bar, const char* name, const char* title) {
    QMenu* result = bar->addMenu(catalogueWindowText(title));
    result->setObjectName(QLatin1String(name));
    result->menuAction()->setObjectName(QLatin1String(name));
    return result;
}

QAction* item(QMenu* parent, const char* name, const char* caption) {
    QAction* action = parent->addAction(catalogueWindowText(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}

void separator(QMenu* parent, const char* name) {
    parent->addSeparator()->setObjectName(QLatin1String(name));
}

}  // namespace

CatalogueMenus::CatalogueMenus(QWidget* window) : bar(new QMenuBar(window)) {
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu* file = menu(bar, "mnuFile", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "ファイル(&F)"));
    backToMenu = item(file, "mnuMnu", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "メニューに戻る"));
    exit = item(file, "mnuExit", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "終了"));

    QMenu* list = menu(bar, "mnuListP", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "リスト編集(&P)"));
    edit = item(list, "mnuUd",
                QT_TRANSLATE_NOOP("qm::CatalogueWindow", "選択された登録情報を変更する"));
    separator(list, "mnuLine2");
    install =
        item(list, "mnuAdd", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "リストにインストール追加"));
    remove = item(list, "mnuDel",
                  QT_TRANSLATE_NOOP("qm::CatalogueWindow", "リストからアンインストール削除"));
    separator(list, "mnuLine1");
    launch =
        item(list, "mnuKidou", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "選択されたEXEを起動"));
    open =
        item(list, "mnuOpen", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "選択されたフォルダを開く"));
    move =
        item(list, "mnuMove", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "選択されたフォルダを移動"));

    QMenu* settings = menu(bar, "mnuSetting", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "設定(&S)"));
    compactLayout =
        item(settings, "mnuComm", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "説明を消す"));
    compactLayout->setCheckable(true);
    registerAtStart =
        item(settings, "mnuAA", QT_TRANSLATE_NOOP("qm::CatalogueWindow", "起動時に順次登録を行う"));
    registerAtStart->setCheckable(true);
}

}  // namespace qm
