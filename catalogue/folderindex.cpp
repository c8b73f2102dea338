#include "catalogue/folderindex.h"

#include <algorithm>

namespace qm {

void FolderIndex::clear() {
    m_exact.clear();
    m_folded.clear();
}

void FolderIndex::rebuild(const QList<CatalogueEntry>& rows) {
    clear();
    m_exact.reserve(rows.size());
    m_folded.reserve(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        add(row, rows.at(row));
    }
}

void FolderIndex::add(int row, const CatalogueEntry& entry) {
    insert(m_exact, entry.folder, row);
    insert(m_folded, entry.folder.toCaseFolded(), row);
}

void FolderIndex::update(int row, const CatalogueEntry& before, const CatalogueEntry& after) {
    if (before.folder == after.folder) {
        return;
    }
    remove(m_exact, before.folder, row);
    remove(m_folded, before.folder.toCaseFolded(), row);
    add(row, after);
}

void FolderIndex::insert(Rows& rows, const QString& text, int row) {
    RowSet& set = rows[text];
    // Rows are mostly added in order: then this is an append.
    const auto at = std::lower_bound(set.begin(), set.end(), row);
    if (at == set.end() || *at != row) {
        set.insert(at, row);
    }
}

void FolderIndex::remove(Rows& rows, const QString& text, int row) {
    const auto it = rows.find(text);
    if (it == rows.end()) {
        return;
    }
    const auto at = std::lower_bound(it->begin(), it->end(), row);
    if (at != it->end() && *at == row) {
        it->erase(at);
    }
    if (it->empty()) {
        rows.erase(it);
    }
}

int FolderIndex::find(const QString& key) const {
    const auto exact = m_exact.constFind(key);
    if (exact != m_exact.constEnd() && !exact->empty()) {
        return exact->front();
    }
    const auto folded = m_folded.constFind(key.toCaseFolded());
    if (folded != m_folded.constEnd() && folded->size() == 1) {
        return folded->front();
    }
    return -1;
}

}  // namespace qm
