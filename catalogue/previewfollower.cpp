#include "catalogue/previewfollower.h"

#include <QEvent>
#include <QTreeView>

#include "catalogue/cataloguefilter.h"
#include "catalogue/listselection.h"

namespace qm {

PreviewFollower::PreviewFollower(QTreeView* list, CatalogueFilter& filter,
                                 const ListSelection& selection, std::function<void(int)> preview)
    : QObject(list), m_viewport(list->viewport()), m_selection(selection) {
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [&filter, preview](const QModelIndex& current) {
                if (current.isValid()) {
                    preview(filter.sourceRow(current.row()));
                }
            });
    m_viewport->installEventFilter(this);
    connect(list, &QTreeView::clicked, this, [this, &filter, preview](const QModelIndex& index) {
        const int row = filter.sourceRow(index.row());
        if (index.isValid() && row == m_rowAtPress) {
            preview(row);
        }
    });
}

bool PreviewFollower::eventFilter(QObject* watched, QEvent* event) {
    // Compared with the viewport kept at the start: while the list is being destroyed, its
    // viewport still sends events, and the list may no longer be asked for anything.
    if (event->type() == QEvent::MouseButtonPress && watched == m_viewport) {
        m_rowAtPress = m_selection.selected();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qm
