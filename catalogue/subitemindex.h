#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <set>

#include "catalogue/listfile.h"

namespace qm {

// Finds the first row one of whose sub-items (folder, category, exe, description) is a given
// text, as a search of the rows in order would, without visiting every row. Texts are compared
// whole and with letter case counting.
class SubItemIndex {
public:
    void clear() { m_rows.clear(); }
    // Indexes every row afresh (after rows were removed or reordered).
    void rebuild(const QList<CatalogueEntry>& rows);
    // Adds the sub-items of a row; rows may be added in any order.
    void add(int row, const CatalogueEntry& entry);
    // Replaces the sub-items of a row that was indexed with `before`.
    void update(int row, const CatalogueEntry& before, const CatalogueEntry& after);

    // The first row holding text in one of its sub-items, or -1.
    int firstRow(const QString& text) const;

private:
    void remove(int row, const QString& text);

    QHash<QString, std::set<int>> m_rows;
};

}  // namespace qm
