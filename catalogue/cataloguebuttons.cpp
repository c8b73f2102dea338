#include "catalogue/cataloguebuttons.h"

#include "catalogue/windowtext.h"

#include <QPushButton>

namespace qm {
namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip) {
    auto* widget = new QPushButton(caption, parent);
    widget->setObjectName(QLatin1String(name));
    widget->setToolTip(tip);
    widget->setAutoDefault(false);
    return widget;
}

}  // namespace

CatalogueButtons::CatalogueButtons(QWidget* parent)
    : menu(button(parent, "Command12",
                  catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "メニューに戻る")),
                  catalogueWindowText(
                      QT_TRANSLATE_NOOP("qm::CatalogueWindow", "メインメニューに戻ります。")))),
      registerAll(button(parent, "Command7",
                         catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "順次登録")),
                         catalogueWindowText(QT_TRANSLATE_NOOP(
                             "qm::CatalogueWindow",
                             "こちらをクリックすると、未登録の情報を要求するダイアログが順次出"
                             "現し、情報をすべて登録できます。")))),
      launch(button(parent, "Command10",
                    catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "起 動")),
                    catalogueWindowText(QT_TRANSLATE_NOOP(
                        "qm::CatalogueWindow", "リスト選択中の登録されたEXEを起動します。")))),
      openFolder(button(parent, "Command11",
                        catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "開 く")),
                        catalogueWindowText(QT_TRANSLATE_NOOP(
                            "qm::CatalogueWindow", "リストで選択されたフォルダを開きます。")))),
      move(button(parent, "Command1",
                  catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "移 動")),
                  catalogueWindowText(QT_TRANSLATE_NOOP(
                      "qm::CatalogueWindow", "選択フォルダとリスト項目を移動します。")))),
      remove(button(parent, "Command13",
                    catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "削 除")),
                    catalogueWindowText(QT_TRANSLATE_NOOP(
                        "qm::CatalogueWindow", "選択フォルダとリスト項目を削除します。")))),
      loadDirectory(button(parent, "Command3", QStringLiteral("load dir"), QString())),
      saveList(button(parent, "Command4", QStringLiteral("save list"), QString())),
      edit(button(parent, "Command8",
                  catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "登録情報の変更")),
                  catalogueWindowText(QT_TRANSLATE_NOOP(
                      "qm::CatalogueWindow", "ファイルの設定情報が表示され、変更できます。")))),
      refreshIcons(
          button(parent, "Command9",
                 catalogueWindowText(QT_TRANSLATE_NOOP("qm::CatalogueWindow", "アイコン更新")),
                 QString())) {
    for (QPushButton* hidden : {loadDirectory, saveList, edit, refreshIcons}) {
        hidden->hide();
    }
}

}  // namespace qm
