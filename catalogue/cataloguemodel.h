#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QPixmap>

#include "catalogue/folderindex.h"
#include "catalogue/listfile.h"

namespace qm {

// The rows of the catalogue: one entry per program folder, in the list's current order. An
// entry's state is also the number of its small icon (1 the registered mark, 2 the unregistered
// mark, 3 and up icons added by the icon refresh, 0 none).
class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn, FolderColumn, CategoryColumn, ExeColumn, DescriptionColumn };
    static constexpr int kColumnCount = 5;

    explicit CatalogueModel(QObject* parent = nullptr);

    // While one is alive, changed rows are told as one range when the last one ends, not one
    // signal per row (a load changes every row).
    class ChangeBatch {
    public:
        explicit ChangeBatch(CatalogueModel& model);
        ~ChangeBatch();
        ChangeBatch(const ChangeBatch&) = delete;
        ChangeBatch& operator=(const ChangeBatch&) = delete;

    private:
        CatalogueModel& m_model;
    };

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Only the name can be edited in place.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Sorts by the column's texts, ascending and stable, without regard to letter case.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void clear();
    // Appends rows at the end.
    void addRow(const CatalogueEntry& entry);
    void addRows(const QList<CatalogueEntry>& entries);
    // The row whose folder column is key: the first exact match, else the one row that matches
    // without regard to letter case; -1 when there is none.
    int findRowByFolder(const QString& key) const { return m_index.find(key); }
    // Finds the row of folder key as above. On a match sets the state unless it is -1 and every
    // text that is not empty; returns the row, or -1 when no row matches.
    int updateRowByFolder(const QString& key, qint16 state, const QString& name,
                          const QString& folder, const QString& category, const QString& exe,
                          const QString& description);

    const CatalogueEntry& entry(int row) const { return m_rows.at(row); }
    const QList<CatalogueEntry>& entries() const { return m_rows; }
    // Replaces all six values of a row.
    void setEntry(int row, const CatalogueEntry& entry);
    void setState(int row, qint16 state);
    void removeEntry(int row);

    // The small icons: image 1 and 2 are the built-in marks; addImage appends one and returns
    // its number.
    int addImage(const QPixmap& pixmap);
    int imageCount() const { return static_cast<int>(m_images.size()); }
    QIcon image(int number) const;

Q_SIGNALS:
    // A name was edited in place.
    void nameEdited(int row);

private:
    // texts false: only the row's state (its mark) changed, none of its texts.
    void emitRowChanged(int row, bool texts = true);
    void emitRowsChanged(int first, int last, bool texts);

    QList<CatalogueEntry> m_rows;
    FolderIndex m_index;
    int m_batches = 0;
    int m_batchFirst = -1;
    int m_batchLast = -1;
    bool m_batchTexts = false;
    QList<QIcon> m_images;
    QIcon m_blank;
};

// The text of a column of an entry.
QString columnText(const CatalogueEntry& entry, int column);

}  // namespace qm
