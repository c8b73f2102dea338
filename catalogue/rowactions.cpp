#include "catalogue/rowactions.h"

#include "catalogue/windowtext.h"

#include <QAbstractItemView>
#include <QAction>

namespace qm {
void addRowActions(QAbstractItemView* list, const RowHandlers& handlers) {
    const auto add = [list](const char* name, const QString& text, QList<QKeySequence> keys,
                            const std::function<void()>& handler) {
        auto* action = new QAction(text, list);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(action, &QAction::triggered, list, [handler] { handler(); });
        list->addAction(action);
    };
    add("rowLaunch", catalogueWindowText("選択されたEXEを起動"), {Qt::Key_Return, Qt::Key_Enter},
        handlers.launch);
    add("rowOpen", catalogueWindowText("選択されたフォルダを開く"), {}, handlers.open);
    add("rowMove", catalogueWindowText("選択されたフォルダを移動"), {}, handlers.move);
    add("rowDelete", catalogueWindowText("リストからアンインストール削除"), {Qt::Key_Delete},
        handlers.remove);
    auto* separator = new QAction(list);
    separator->setSeparator(true);
    list->addAction(separator);
    add("rowEdit", catalogueWindowText("選択された登録情報を変更する"), {Qt::Key_F2},
        handlers.edit);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace qm
