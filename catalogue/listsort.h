#pragma once

#include <QCoreApplication>

class QTreeView;

namespace qm {

class CatalogueFilter;

// The sort of the catalogue list: a click on a column header sorts by that column, a second
// click reverses; the header's menu sorts by state. The sort is remembered for the next opening.
class ListSort {
    Q_DECLARE_TR_FUNCTIONS(qm::ListSort)

public:
    ListSort(QTreeView* view, CatalogueFilter& filter);

    // Sorts as at the last closing.
    void restore();
    // Sorts by a column (or CatalogueFilter::kStateSort); the same one again reverses.
    void sortBy(int column);

private:
    void showIndicator();

    QTreeView* m_view;
    CatalogueFilter& m_filter;
};

}  // namespace qm
