#pragma once

class QAbstractItemModel;
class QTreeView;
class QWidget;

namespace qm {

// Makes the catalogue list (ListView1): one selectable row per entry over all columns, no tree,
// columns the user can resize and sort by a click on their heading, and the name edited in place
// by a click on the selected row (F2 opens the registration instead).
QTreeView* makeCatalogueListView(QAbstractItemModel* model, QWidget* parent);

}  // namespace qm
