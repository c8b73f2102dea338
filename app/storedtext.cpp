#include "app/storedtext.h"

#include <QCoreApplication>

namespace qm {
namespace {

constexpr const char* kContext = "qm::StoredText";
constexpr const char* kPlaceholders[] = {QT_TRANSLATE_NOOP("qm::StoredText", "未設定"),
                                         QT_TRANSLATE_NOOP("qm::StoredText", "不明")};

}  // namespace

QString shownText(const QString& stored) {
    for (const char* placeholder : kPlaceholders) {
        if (stored == QString::fromUtf8(placeholder)) {
            return QCoreApplication::translate(kContext, placeholder);
        }
    }
    return stored;
}

QString storedText(const QString& shown) {
    for (const char* placeholder : kPlaceholders) {
        if (shown == QCoreApplication::translate(kContext, placeholder)) {
            return QString::fromUtf8(placeholder);
        }
    }
    return shown;
}

}  // namespace qm
