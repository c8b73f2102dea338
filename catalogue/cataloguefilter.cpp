#include "catalogue/cataloguefilter.h"

#include <QElapsedTimer>

#include <algorithm>

#include "catalogue/cataloguemodel.h"
#include "catalogue/textfolding.h"

namespace qm {
namespace {

// How long the rows are folded at a time while idle: short enough that a key waiting behind it
// is not noticed.
constexpr qint64 kFoldSliceNs = 8'000'000;

// Registered rows first, then unregistered, then excluded.
int stateRank(qint16 state) {
    if (state == 2) {
        return 1;
    }
    return state == 0 ? 2 : 0;
}

}  // namespace

CatalogueFilter::CatalogueFilter(CatalogueModel& model, QObject* parent)
    : QAbstractProxyModel(parent), m_model(model) {
    QAbstractProxyModel::setSourceModel(&model);
    m_foldTimer.setInterval(0);
    connect(&m_foldTimer, &QTimer::timeout, this, &CatalogueFilter::foldAhead);
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this,
            &CatalogueFilter::beginResetModel);
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        m_searchTexts.clear();
        computeShown();
        endResetModel();
        foldAheadFrom(0);
    });
    connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &CatalogueFilter::sourceRowsAboutToChange);
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                m_searchTexts.insert(first, last - first + 1);
                sourceRowsChanged();
                // The new rows are folded ahead too.
                foldAheadFrom(first);
            });
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                sourceRowsAboutToBeRemoved(first, last);
            });
    connect(&model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { sourceRowsRemoved(first, last); });
    connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &CatalogueFilter::sourceRowsAboutToChange);
    connect(&model, &QAbstractItemModel::layoutChanged, this, [this] {
        m_searchTexts.clear();
        sourceRowsChanged();
        foldAheadFrom(0);
    });
    connect(&model, &QAbstractItemModel::dataChanged, this, &CatalogueFilter::sourceDataChanged);
    connect(&model, &QAbstractItemModel::headerDataChanged, this,
            &CatalogueFilter::headerDataChanged);
    computeShown();
    foldAheadFrom(0);
}

QModelIndex CatalogueFilter::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

QModelIndex CatalogueFilter::parent(const QModelIndex&) const {
    return QModelIndex();
}

int CatalogueFilter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int CatalogueFilter::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_model.columnCount();
}

QModelIndex CatalogueFilter::mapToSource(const QModelIndex& proxyIndex) const {
    const int row = proxyIndex.isValid() ? sourceRow(proxyIndex.row()) : -1;
    return row < 0 ? QModelIndex() : m_model.index(row, proxyIndex.column());
}

QModelIndex CatalogueFilter::mapFromSource(const QModelIndex& sourceIndex) const {
    const int row = sourceIndex.isValid() ? shownRow(sourceIndex.row()) : -1;
    return row < 0 ? QModelIndex() : createIndex(row, sourceIndex.column());
}

QVariant CatalogueFilter::headerData(int section, Qt::Orientation orientation, int role) const {
    // The columns are the model's, also when no row is shown.
    return m_model.headerData(section, orientation, role);
}

int CatalogueFilter::sourceRow(int shownRow) const {
    return shownRow >= 0 && shownRow < int(m_shown.size()) ? m_shown[shownRow] : -1;
}

int CatalogueFilter::shownRow(int sourceRow) const {
    return sourceRow >= 0 && sourceRow < int(m_shownRowOf.size()) ? m_shownRowOf[sourceRow] : -1;
}

void CatalogueFilter::sort(int column, Qt::SortOrder order) {
    m_sortColumn = column >= 0 && column <= kStateSort ? column : -1;
    m_sortOrder = order;
    rebuild();
}

void CatalogueFilter::setText(const QString& text) {
    const QString needle = foldForSearch(text);
    if (needle == m_needle) {
        return;
    }
    m_needle = needle;
    rebuild();
}

void CatalogueFilter::setCategory(const std::optional<QString>& category) {
    if (category == m_category) {
        return;
    }
    m_category = category;
    rebuild();
}

QStringView CatalogueFilter::searchText(int sourceRow) const {
    m_searchTexts.fit(m_model.rowCount());
    if (!m_searchTexts.has(sourceRow)) {
        const CatalogueEntry& entry = m_model.entry(sourceRow);
        // One text per row; a line break never comes from typing, so no match spans two fields.
        m_searchTexts.set(sourceRow, foldForSearch(entry.name + u'\n' + entry.category + u'\n' +
                                                   entry.description + u'\n' + entry.folder));
    }
    return m_searchTexts.at(sourceRow);
}

void CatalogueFilter::foldAheadFrom(int row) {
    m_foldNext = std::min(m_foldNext, row);
    if (m_model.rowCount() > 0) {
        m_foldTimer.start();
    }
}

void CatalogueFilter::foldAhead() {
    // Rows inserted or removed meanwhile only shift which rows are left: a row not folded here
    // is folded when a search first needs it.
    QElapsedTimer slice;
    slice.start();
    const int count = m_model.rowCount();
    while (m_foldNext < count) {
        const int end = std::min(count, m_foldNext + 256);
        for (; m_foldNext < end; ++m_foldNext) {
            searchText(m_foldNext);
        }
        if (slice.nsecsElapsed() > kFoldSliceNs) {
            break;
        }
    }
    if (m_foldNext >= count) {
        m_foldTimer.stop();
    }
}

bool CatalogueFilter::accepts(int sourceRow) const {
    if (m_category && m_model.entry(sourceRow).category != *m_category) {
        return false;
    }
    return m_needle.isEmpty() || containsFolded(searchText(sourceRow), m_needle);
}

bool CatalogueFilter::lessThan(int left, int right) const {
    const CatalogueEntry& a = m_model.entry(left);
    const CatalogueEntry& b = m_model.entry(right);
    if (m_sortColumn == kStateSort) {
        return stateRank(a.state) < stateRank(b.state);
    }
    return columnText(a, m_sortColumn).compare(columnText(b, m_sortColumn), Qt::CaseInsensitive) <
           0;
}

void CatalogueFilter::computeShown() {
    const int count = m_model.rowCount();
    m_shown.clear();
    m_shown.reserve(count);
    for (int row = 0; row < count; ++row) {
        if (accepts(row)) {
            m_shown.push_back(row);
        }
    }
    if (m_sortColumn >= 0) {
        // Equal rows keep the list's order, whichever way the sort goes.
        if (m_sortOrder == Qt::AscendingOrder) {
            std::stable_sort(m_shown.begin(), m_shown.end(),
                             [this](int a, int b) { return lessThan(a, b); });
        } else {
            std::stable_sort(m_shown.begin(), m_shown.end(),
                             [this](int a, int b) { return lessThan(b, a); });
        }
    }
    m_shownRowOf.assign(count, -1);
    for (int shown = 0; shown < int(m_shown.size()); ++shown) {
        m_shownRowOf[m_shown[shown]] = shown;
    }
}

void CatalogueFilter::rebuild() {
    sourceRowsAboutToChange();
    sourceRowsChanged();
}

void CatalogueFilter::sourceRowsAboutToChange() {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_changingProxy = persistentIndexList();
    m_changingSource.clear();
    for (const QModelIndex& index : std::as_const(m_changingProxy)) {
        m_changingSource.append(QPersistentModelIndex(mapToSource(index)));
    }
}

void CatalogueFilter::sourceRowsChanged() {
    computeShown();
    QModelIndexList after;
    after.reserve(m_changingSource.size());
    for (const QPersistentModelIndex& source : std::as_const(m_changingSource)) {
        after.append(mapFromSource(source));
    }
    changePersistentIndexList(m_changingProxy, after);
    m_changingProxy.clear();
    m_changingSource.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CatalogueFilter::sourceRowsAboutToBeRemoved(int first, int last) {
    m_removingShownRow = first == last ? shownRow(first) : -1;
    if (m_removingShownRow >= 0) {
        beginRemoveRows(QModelIndex(), m_removingShownRow, m_removingShownRow);
    } else {
        sourceRowsAboutToChange();
    }
}

void CatalogueFilter::sourceRowsRemoved(int first, int last) {
    m_searchTexts.erase(first, last);
    if (m_removingShownRow < 0) {
        sourceRowsChanged();
        return;
    }
    // The others keep their places: no filtering or sorting again.
    m_shown.erase(m_shown.begin() + m_removingShownRow);
    m_removingShownRow = -1;
    const int removed = last - first + 1;
    m_shownRowOf.assign(m_model.rowCount(), -1);
    for (int shown = 0; shown < int(m_shown.size()); ++shown) {
        if (m_shown[shown] > last) {
            m_shown[shown] -= removed;
        }
        m_shownRowOf[m_shown[shown]] = shown;
    }
    endRemoveRows();
}

void CatalogueFilter::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                        const QList<int>& roles) {
    // A new mark (the icon refresh gives most rows one) leaves the folded texts as they are.
    const bool texts =
        roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole);
    int first = rowCount();
    int last = -1;
    if (texts) {
        // Folded again ahead (a catalogue's rows change as a whole once the list is merged).
        foldAheadFrom(topLeft.row());
    }
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        if (texts) {
            m_searchTexts.forget(row);
        }
        const int shown = shownRow(row);
        if (shown >= 0) {
            first = std::min(first, shown);
            last = std::max(last, shown);
        }
    }
    if (last >= 0) {
        Q_EMIT dataChanged(index(first, topLeft.column()), index(last, bottomRight.column()),
                           roles);
    }
}

}  // namespace qm
