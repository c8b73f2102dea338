#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVarLengthArray>

#include "catalogue/listfile.h"

namespace qm {

// Finds the row of a folder by its folder column, as a search of the rows in order would,
// without visiting every row: the first row whose folder text is the key exactly, else the one
// row whose folder text equals it without regard to letter case (a list written where names are
// compared so). Two rows that differ from the key only in case match neither.
class FolderIndex {
public:
    void clear();
    // Indexes every row afresh (after rows were removed or reordered).
    void rebuild(const QList<CatalogueEntry>& rows);
    // Adds the folder of a row; rows may be added in any order.
    void add(int row, const CatalogueEntry& entry);
    // Replaces the folder of a row that was indexed with `before`.
    void update(int row, const CatalogueEntry& before, const CatalogueEntry& after);

    // The row of folder text key as described above, or -1.
    int find(const QString& key) const;

private:
    // The rows of one text, ascending; nearly always one, kept without an allocation of its own.
    using RowSet = QVarLengthArray<int, 1>;
    using Rows = QHash<QString, RowSet>;
    static void insert(Rows& rows, const QString& text, int row);
    static void remove(Rows& rows, const QString& text, int row);

    Rows m_exact;
    Rows m_folded;
};

}  // namespace qm
