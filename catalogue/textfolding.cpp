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

}  // namespace

QString foldForSearch(const QString& text) {
    // Most folder names are plain ASCII: lower case is all that folding does to them, and it is
    // much cheaper than normalising.
    if (isAscii(text)) {
        return text.toLower();
    }
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
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
