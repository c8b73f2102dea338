#include "catalogue/cataloguelistview.h"

#include <QHeaderView>
#include <QTreeView>

namespace qm {

QTreeView* makeCatalogueListView(QAbstractItemModel* model, QWidget* parent) {
    auto* list = new QTreeView(parent);
    list->setObjectName(QStringLiteral("ListView1"));
    list->setModel(model);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSortingEnabled(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::SelectedClicked);
    list->setIconSize(QSize(16, 16));
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    return list;
}

}  // namespace qm
