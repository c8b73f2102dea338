#include "catalogue/textfolding.h"

namespace qm {
namespace {

bool isAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

// True when NFKC may change the text: it holds a character from a block with compatibility
// forms or combining marks. Plain kana, CJK ideographs and ASCII never change, and they are most
// of what a Japanese catalogue holds; normalising costs far more than this look.
bool mayChangeUnderNfkc(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x80 && u < 0x3040) || (u >= 0x3099 && u <= 0x309F) || u == 0x30FF ||
            (u >= 0x3100 && u < 0x3400) || (u >= 0xD800 && u <= 0xDFFF) || u >= 0xF900) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString foldForSearch(const QString& text) {
    // Most folder names are plain ASCII: lower case is all that folding does to them, and it is
    // much cheaper than normalising.
    if (isAscii(text)) {
        return text.toLower();
    }
    QString folded =
        (mayChangeUnderNfkc(text) ? text.normalized(QString::NormalizationForm_KC) : text)
            .toCaseFolded();
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        // Katakana ァ..ヶ and the iteration marks ヽヾ sit 0x60 above their hiragana.
        if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE) {
            c = QChar(char16_t(u - 0x60));
        }
    }
    return folded;
}

}  // namespace qm
