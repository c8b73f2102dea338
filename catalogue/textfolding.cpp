#include "catalogue/textfolding.h"

namespace qm {
namespace {

// Katakana ァ..ヶ and the iteration marks ヽヾ sit 0x60 above their hiragana.
bool isKatakana(char16_t u) {
    return (u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE;
}

// Folds text in place when every character is ASCII, plain kana or a CJK ideograph (most of
// what a catalogue holds): none of them changes under NFKC or case folding beyond what is done
// here. Returns false, leaving text as it was, at the first other character.
bool foldPlainText(QString& text) {
    bool changes = false;
    for (const QChar c : std::as_const(text)) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            changes = changes || (u >= 'A' && u <= 'Z');
        } else if (isKatakana(u)) {
            changes = true;
        } else if (!((u >= 0x3041 && u <= 0x3096) || u == 0x30FC || (u >= 0x3400 && u <= 0x4DBF) ||
                     (u >= 0x4E00 && u <= 0x9FFF))) {
            return false;
        }
    }
    if (!changes) {
        return true;
    }
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 'A' && u <= 'Z') {
            c = QChar(char16_t(u + ('a' - 'A')));
        } else if (isKatakana(u)) {
            c = QChar(char16_t(u - 0x60));
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

QString foldForSearch(QString text) {
    // Normalising and case folding cost far more than this look, and are rarely needed.
    if (foldPlainText(text)) {
        return text;
    }
    QString folded =
        (mayChangeUnderNfkc(text) ? text.normalized(QString::NormalizationForm_KC) : text)
            .toCaseFolded();
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        if (isKatakana(u)) {
            c = QChar(char16_t(u - 0x60));
        }
    }
    return folded;
}

}  // namespace qm
