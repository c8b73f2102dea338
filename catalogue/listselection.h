#pragma once

class QTreeView;

namespace qm {

class CatalogueFilter;
class CatalogueFilterBar;
class CatalogueModel;

// The selected entry of the catalogue list, as a row of the model whatever the list's sort and
// filter. Selecting a row the filter hides shows every row again.
class ListSelection {
public:
    ListSelection(QTreeView* list, CatalogueModel& model, CatalogueFilter& filter,
                  CatalogueFilterBar& filterBar);

    void select(int row);
    // The current row, or -1; after a row is removed it moves to a neighbour, which is then
    // the selected one.
    int selected() const;

private:
    QTreeView* m_list;
    CatalogueModel& m_model;
    CatalogueFilter& m_filter;
    CatalogueFilterBar& m_filterBar;
};

}  // namespace qm
