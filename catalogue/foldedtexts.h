#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace qm {

// The folded search texts of the catalogue's rows, kept one after another in one buffer: a
// search reads them in order, which on a large catalogue is several times quicker than texts
// spread over the heap. A row's text is made when it is first needed and forgotten when the row
// changes; the space of forgotten texts is taken back once it outweighs the texts kept.
class FoldedTexts {
public:
    void clear();
    // Rows of a model that now has rows rows: new ones at the end have no text yet.
    void fit(int rows);
    void insert(int first, int count);
    void erase(int first, int last);
    void forget(int row);

    bool has(int row) const;
    QStringView at(int row) const;
    void set(int row, const QString& folded);

private:
    void compact();

    struct Place {
        qsizetype start = -1;  // -1: no text
        qsizetype size = 0;
    };
    QString m_buffer;
    std::vector<Place> m_places;
    qsizetype m_kept = 0;  // characters of the buffer that belong to a row
};

}  // namespace qm
