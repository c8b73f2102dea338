#include "catalogue/folderindex.h"

namespace qm {

void FolderIndex::clear() {
    m_exact.clear();
    m_folded.clear();
}

void FolderIndex::rebuild(const QList<CatalogueEntry>& rows) {
    clear();
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
    std::set<int>& set = rows[text];
    // Rows are mostly added in order: a hint at the end keeps that cheap.
    set.insert(set.end(), row);
}

void FolderIndex::remove(Rows& rows, const QString& text, int row) {
    const auto it = rows.find(text);
    if (it == rows.end()) {
        return;
    }
    it->erase(row);
    if (it->empty()) {
        rows.erase(it);
    }
}

int FolderIndex::find(const QString& key) const {
    const auto exact = m_exact.constFind(key);
    if (exact != m_exact.constEnd() && !exact->empty()) {
        return *exact->begin();
    }
    const auto folded = m_folded.constFind(key.toCaseFolded());
    if (folded != m_folded.constEnd() && folded->size() == 1) {
        return *folded->begin();
    }
    return -1;
}

}  // namespace qm
