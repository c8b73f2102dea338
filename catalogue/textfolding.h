#pragma once

#include <QString>
#include <QStringView>

namespace qm {

// Text as the catalogue's search compares it: what Japanese users type interchangeably comes out
// the same. Letter case is folded, full-width and half-width forms are made one (NFKC, which also
// joins a half-width voiced mark to its kana), and katakana become hiragana, so that "ぱれっと",
// "パレット" and "ﾊﾟﾚｯﾄ" all fold to "ぱれっと".
QString foldForSearch(QString text);

// True when folded (a foldForSearch result) holds the folded needle; an empty needle is in
// every text.
inline bool containsFolded(QStringView folded, QStringView foldedNeedle) {
    return foldedNeedle.isEmpty() || folded.contains(foldedNeedle);
}

}  // namespace qm
