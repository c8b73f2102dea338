#include "catalogue/listsort.h"

#include <QAction>
#include <QHeaderView>
#include <QTreeView>

#include "app/preferences.h"
#include "catalogue/cataloguefilter.h"
#include "catalogue/cataloguemodel.h"

namespace qm {
namespace {

// "column,order" (Qt::SortOrder); anything else keeps the list's own order.
const QString kSortKey = QStringLiteral("listsort");

}  // namespace

ListSort::ListSort(QTreeView* view, CatalogueFilter& filter) : m_view(view), m_filter(filter) {
    QHeaderView* header = view->header();
    header->setSortIndicatorShown(false);
    QObject::connect(header, &QHeaderView::sectionClicked, view,
                     [this](int column) { sortBy(column); });
    // The state has no column of its own: the header's menu sorts by it.
    auto* byState = new QAction(tr("状態で並べ替え"), header);
    byState->setObjectName(QStringLiteral("sortByState"));
    QObject::connect(byState, &QAction::triggered, view,
                     [this] { sortBy(CatalogueFilter::kStateSort); });
    header->addAction(byState);
    header->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ListSort::restore() {
    const QStringList parts = readPreference(kSortKey).split(u',');
    bool columnOk = false;
    bool orderOk = false;
    const int column = parts.value(0).toInt(&columnOk);
    const int order = parts.value(1).toInt(&orderOk);
    if (parts.size() != 2 || !columnOk || !orderOk || column < 0 ||
        column > CatalogueFilter::kStateSort || (order != 0 && order != 1)) {
        return;
    }
    m_filter.sort(column, Qt::SortOrder(order));
    showIndicator();
}

void ListSort::sortBy(int column) {
    const bool again =
        column == m_filter.sortColumn() && m_filter.sortOrder() == Qt::AscendingOrder;
    const Qt::SortOrder order = again ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_filter.sort(column, order);
    showIndicator();
    writePreference(kSortKey, QStringLiteral("%1,%2").arg(column).arg(int(order)));
    if (m_view->currentIndex().isValid()) {
        m_view->scrollTo(m_view->currentIndex());
    }
}

void ListSort::showIndicator() {
    // Sorted by state, the indicator stands on the name column, which shows the state's marks.
    const int column = m_filter.sortColumn();
    QHeaderView* header = m_view->header();
    header->setSortIndicatorShown(column >= 0);
    header->setSortIndicator(
        column == CatalogueFilter::kStateSort ? int(CatalogueModel::NameColumn) : column,
        m_filter.sortOrder());
}

}  // namespace qm
