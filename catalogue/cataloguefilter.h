#pragma once

#include <QAbstractProxyModel>
#include <QTimer>

#include "catalogue/foldedtexts.h"

#include <optional>
#include <vector>

namespace qm {

class CatalogueModel;

// The catalogue as the list shows it: the rows whose name, category, description or folder
// hold the typed text (compared folded, see foldForSearch), of one category or all, sorted by a
// column or by state. A view only: the model's rows, and so the list file, keep their order.
//
// The shown rows are a plain table of model rows, rebuilt as a whole when the filter or the sort
// changes (one layout change, not one signal per hidden row), so that a key in the filter box
// stays quick on a hundred thousand rows. Edits of a row update it in place; it is filtered and
// sorted again at the next change of the filter or the sort.
class CatalogueFilter : public QAbstractProxyModel {
    Q_OBJECT

public:
    // Sorting by this column sorts by state: registered, unregistered, excluded.
    static constexpr int kStateSort = 5;

    explicit CatalogueFilter(CatalogueModel& model, QObject* parent = nullptr);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Column is a model column or kStateSort; -1 shows the model's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setText(const QString& text);
    // nullopt shows every category.
    void setCategory(const std::optional<QString>& category);
    bool isFiltered() const { return !m_needle.isEmpty() || m_category.has_value(); }
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The model row shown at a row of the list, and the other way round (-1 when hidden).
    int sourceRow(int shownRow) const;
    int shownRow(int sourceRow) const;
    // The model rows in the order shown.
    const std::vector<int>& shownRows() const { return m_shown; }

private:
    bool accepts(int sourceRow) const;
    bool lessThan(int left, int right) const;
    QStringView searchText(int sourceRow) const;
    // Folds the rows' texts a slice at a time while the program waits for input, so that the
    // first key typed into the filter box finds them folded.
    // Folds ahead again from row on (the rows before it keep their texts).
    void foldAheadFrom(int row);
    void foldAhead();
    // Filters and sorts the model's rows afresh as one layout change.
    void rebuild();
    void computeShown();
    // Around a change of the model's rows: the shown rows are made afresh and the persistent
    // indexes (the selection) follow their rows.
    void sourceRowsAboutToChange();
    void sourceRowsChanged();
    // A removed row that was shown leaves as a removed row, so that the list selects its
    // neighbour; other removals change the layout.
    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles);

    CatalogueModel& m_model;
    QString m_needle;
    std::optional<QString> m_category;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::vector<int> m_shown;
    std::vector<int> m_shownRowOf;
    // Folded texts of the rows, made ahead or at the first search and kept until a row changes.
    mutable FoldedTexts m_searchTexts;
    QTimer m_foldTimer;
    int m_foldNext = 0;
    // While the model's rows change: the persistent indexes and the model rows they stand for.
    QModelIndexList m_changingProxy;
    QList<QPersistentModelIndex> m_changingSource;
    int m_removingShownRow = -1;
};

}  // namespace qm
