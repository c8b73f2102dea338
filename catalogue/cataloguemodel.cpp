#include "catalogue/cataloguemodel.h"

#include <algorithm>
#include <numeric>

#include "app/storedtext.h"
#include "catalogue/cataloguemarks.h"

namespace qm {

QString columnText(const CatalogueEntry& entry, int column) {
    switch (column) {
        case CatalogueModel::NameColumn:
            return entry.name;
        case CatalogueModel::FolderColumn:
            return entry.folder;
        case CatalogueModel::CategoryColumn:
            return entry.category;
        case CatalogueModel::ExeColumn:
            return entry.exe;
        case CatalogueModel::DescriptionColumn:
            return entry.description;
        default:
            return QString();
    }
}

CatalogueModel::CatalogueModel(QObject* parent) : QAbstractTableModel(parent) {
    m_images = {QIcon(registeredMark()), QIcon(unregisteredMark())};
    QPixmap blank(registeredMark().size());
    blank.fill(Qt::transparent);
    m_blank = QIcon(blank);
}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CatalogueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return QVariant();
    }
    const CatalogueEntry& row = m_rows.at(index.row());
    if (role == Qt::EditRole || (role == Qt::DisplayRole && index.column() <= FolderColumn)) {
        return columnText(row, index.column());
    }
    if (role == Qt::DisplayRole) {
        return shownText(columnText(row, index.column()));
    }
    if (role == Qt::DecorationRole && index.column() == NameColumn) {
        const QIcon icon = image(row.state);
        // A row without a mark keeps the mark's room, so that all names line up.
        return icon.isNull() ? QVariant(m_blank) : QVariant(icon);
    }
    return QVariant();
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QVariant();
    }
    const QString headers[kColumnCount] = {tr("名前"), tr("フォルダ名"), tr("分類"), tr("EXE名"),
                                           tr("説明")};
    return section >= 0 && section < kColumnCount ? headers[section] : QString();
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NameColumn) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

bool CatalogueModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != NameColumn ||
        index.row() >= m_rows.size()) {
        return false;
    }
    m_rows[index.row()].name = value.toString();
    emitRowChanged(index.row());
    Q_EMIT nameEdited(index.row());
    return true;
}

void CatalogueModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount || m_rows.size() < 2) {
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order_(m_rows.size());
    std::iota(order_.begin(), order_.end(), 0);
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        const int c = columnText(m_rows.at(a), column)
                          .compare(columnText(m_rows.at(b), column), Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    QList<CatalogueEntry> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (std::size_t i = 0; i < order_.size(); ++i) {
        sorted.append(m_rows.at(order_[i]));
        newRowOf[order_[i]] = static_cast<int>(i);
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(this->index(newRowOf[index.row()], index.column()));
    }
    changePersistentIndexList(before, after);
    m_index.rebuild(m_rows);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CatalogueModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_index.clear();
    endResetModel();
}

void CatalogueModel::addRow(const CatalogueEntry& entry) {
    addRows({entry});
}

void CatalogueModel::addRows(const QList<CatalogueEntry>& entries) {
    if (entries.isEmpty()) {
        return;
    }
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
    m_rows.reserve(first + entries.size());
    for (const CatalogueEntry& entry : entries) {
        m_index.add(static_cast<int>(m_rows.size()), entry);
        m_rows.append(entry);
    }
    endInsertRows();
}

int CatalogueModel::updateRowByFolder(const QString& key, qint16 state, const QString& name,
                                      const QString& folder, const QString& category,
                                      const QString& exe, const QString& description) {
    const int row = findRowByFolder(key);
    if (row < 0) {
        return -1;
    }
    CatalogueEntry updated = m_rows.at(row);
    if (state != -1) {
        updated.state = state;
    }
    const auto keep = [](QString& field, const QString& value) {
        if (!value.isEmpty()) {
            field = value;
        }
    };
    keep(updated.name, name);
    keep(updated.folder, folder);
    keep(updated.category, category);
    keep(updated.exe, exe);
    keep(updated.description, description);
    if (!(updated == m_rows.at(row))) {
        setEntry(row, updated);
    }
    return row;
}

void CatalogueModel::setEntry(int row, const CatalogueEntry& entry) {
    if (row < 0 || row >= m_rows.size()) {
        return;
    }
    m_index.update(row, m_rows.at(row), entry);
    m_rows[row] = entry;
    emitRowChanged(row);
}

void CatalogueModel::setState(int row, qint16 state) {
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).state == state) {
        return;
    }
    m_rows[row].state = state;
    emitRowChanged(row, false);
}

void CatalogueModel::removeEntry(int row) {
    if (row < 0 || row >= m_rows.size()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    m_index.rebuild(m_rows);
    endRemoveRows();
}

int CatalogueModel::addImage(const QPixmap& pixmap) {
    m_images.append(QIcon(pixmap));
    return static_cast<int>(m_images.size());
}

QIcon CatalogueModel::image(int number) const {
    if (number < 1 || number > m_images.size()) {
        return QIcon();
    }
    return m_images.at(number - 1);
}

CatalogueModel::ChangeBatch::ChangeBatch(CatalogueModel& model) : m_model(model) {
    ++m_model.m_batches;
}

CatalogueModel::ChangeBatch::~ChangeBatch() {
    if (--m_model.m_batches > 0 || m_model.m_batchLast < 0) {
        return;
    }
    // Rows may have gone meanwhile.
    const int last = std::min(m_model.m_batchLast, m_model.rowCount() - 1);
    const int first = m_model.m_batchFirst;
    const bool texts = m_model.m_batchTexts;
    m_model.m_batchFirst = m_model.m_batchLast = -1;
    m_model.m_batchTexts = false;
    if (first <= last) {
        m_model.emitRowsChanged(first, last, texts);
    }
}

void CatalogueModel::emitRowChanged(int row, bool texts) {
    if (m_batches > 0) {
        m_batchFirst = m_batchLast < 0 ? row : std::min(m_batchFirst, row);
        m_batchLast = std::max(m_batchLast, row);
        m_batchTexts = m_batchTexts || texts;
        return;
    }
    emitRowsChanged(row, row, texts);
}

void CatalogueModel::emitRowsChanged(int first, int last, bool texts) {
    // A change of state changes only the mark: views and the filter keep what they made of
    // the texts.
    if (texts) {
        Q_EMIT dataChanged(index(first, 0), index(last, kColumnCount - 1));
    } else {
        Q_EMIT dataChanged(index(first, NameColumn), index(last, NameColumn), {Qt::DecorationRole});
    }
}

}  // namespace qm
