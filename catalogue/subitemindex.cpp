#include "catalogue/subitemindex.h"

#include <array>

namespace qm {
namespace {

std::array<const QString*, 4> subItems(const CatalogueEntry& entry) {
    return {&entry.folder, &entry.category, &entry.exe, &entry.description};
}

bool holds(const CatalogueEntry& entry, const QString& text) {
    for (const QString* item : subItems(entry)) {
        if (*item == text) {
            return true;
        }
    }
    return false;
}

}  // namespace

void SubItemIndex::rebuild(const QList<CatalogueEntry>& rows) {
    m_rows.clear();
    for (int row = 0; row < rows.size(); ++row) {
        add(row, rows.at(row));
    }
}

void SubItemIndex::add(int row, const CatalogueEntry& entry) {
    for (const QString* item : subItems(entry)) {
        std::set<int>& rows = m_rows[*item];
        // Rows are mostly added in order: a hint at the end keeps that cheap.
        rows.insert(rows.end(), row);
    }
}

void SubItemIndex::update(int row, const CatalogueEntry& before, const CatalogueEntry& after) {
    for (const QString* item : subItems(before)) {
        if (!holds(after, *item)) {
            remove(row, *item);
        }
    }
    for (const QString* item : subItems(after)) {
        if (!holds(before, *item)) {
            std::set<int>& rows = m_rows[*item];
            rows.insert(row);
        }
    }
}

void SubItemIndex::remove(int row, const QString& text) {
    const auto it = m_rows.find(text);
    if (it == m_rows.end()) {
        return;
    }
    it->erase(row);
    if (it->empty()) {
        m_rows.erase(it);
    }
}

int SubItemIndex::firstRow(const QString& text) const {
    const auto it = m_rows.constFind(text);
    if (it == m_rows.constEnd() || it->empty()) {
        return -1;
    }
    return *it->begin();
}

}  // namespace qm
