#include "catalogue/listselection.h"

#include <QTreeView>

#include "catalogue/cataloguefilter.h"
#include "catalogue/cataloguefilterbar.h"
#include "catalogue/cataloguemodel.h"

namespace qm {

ListSelection::ListSelection(QTreeView* list, CatalogueModel& model, CatalogueFilter& filter,
                             CatalogueFilterBar& filterBar)
    : m_list(list), m_model(model), m_filter(filter), m_filterBar(filterBar) {}

void ListSelection::select(int row) {
    if (row < 0 || row >= m_model.rowCount()) {
        return;
    }
    if (m_filter.shownRow(row) < 0) {
        m_filterBar.clear();
    }
    const QModelIndex index = m_filter.mapFromSource(m_model.index(row, 0));
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

int ListSelection::selected() const {
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? m_filter.sourceRow(current.row()) : -1;
}

}  // namespace qm
