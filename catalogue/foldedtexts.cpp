#include "catalogue/foldedtexts.h"

#include <algorithm>

namespace qm {

void FoldedTexts::clear() {
    m_buffer.clear();
    m_places.clear();
    m_kept = 0;
}

void FoldedTexts::fit(int rows) {
    if (rows < int(m_places.size())) {
        erase(rows, int(m_places.size()) - 1);
    } else {
        m_places.resize(size_t(rows));
    }
}

void FoldedTexts::insert(int first, int count) {
    if (first >= 0 && first <= int(m_places.size()) && count > 0) {
        m_places.insert(m_places.begin() + first, size_t(count), Place());
    }
}

void FoldedTexts::erase(int first, int last) {
    last = std::min(last, int(m_places.size()) - 1);
    if (first < 0 || first > last) {
        return;
    }
    for (int row = first; row <= last; ++row) {
        if (m_places[size_t(row)].start >= 0) {
            m_kept -= m_places[size_t(row)].size;
        }
    }
    m_places.erase(m_places.begin() + first, m_places.begin() + last + 1);
}

void FoldedTexts::forget(int row) {
    if (row >= 0 && row < int(m_places.size()) && m_places[size_t(row)].start >= 0) {
        m_kept -= m_places[size_t(row)].size;
        m_places[size_t(row)] = Place();
    }
}

bool FoldedTexts::has(int row) const {
    return row >= 0 && row < int(m_places.size()) && m_places[size_t(row)].start >= 0;
}

QStringView FoldedTexts::at(int row) const {
    if (!has(row)) {
        return QStringView();
    }
    const Place& place = m_places[size_t(row)];
    return QStringView(m_buffer).mid(place.start, place.size);
}

void FoldedTexts::set(int row, const QString& folded) {
    if (row < 0 || row >= int(m_places.size())) {
        return;
    }
    forget(row);
    // Forgotten texts (rows that changed) are taken back before the buffer grows past twice
    // what it holds.
    if (m_buffer.size() - m_kept > m_kept + (qsizetype(1) << 16)) {
        compact();
    }
    m_places[size_t(row)] = Place{m_buffer.size(), folded.size()};
    m_buffer += folded;
    m_kept += folded.size();
}

void FoldedTexts::compact() {
    QString buffer;
    buffer.reserve(m_kept);
    for (Place& place : m_places) {
        if (place.start >= 0) {
            const qsizetype start = buffer.size();
            buffer += QStringView(m_buffer).mid(place.start, place.size);
            place.start = start;
        }
    }
    m_buffer = std::move(buffer);
}

}  // namespace qm
