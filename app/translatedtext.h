#pragma once

#include <QCoreApplication>
#include <QString>

namespace qm {

// A text defined once, away from any window, and translated when it is used: mark the source
// text with QT_TRANSLATE_NOOP(context, text) so that lupdate finds it.
struct TranslatedText {
    const char* context;
    const char* source;

    QString text() const { return QCoreApplication::translate(context, source); }
    operator QString() const { return text(); }
};

}  // namespace qm
