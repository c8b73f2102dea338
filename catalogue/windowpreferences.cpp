#include "catalogue/windowpreferences.h"

#include <QWidget>

#include "app/preferences.h"

namespace qm {
namespace {

const QString kCompactKey = QStringLiteral("pmode");
const QString kRegisterAtStartKey = QStringLiteral("kmode");
const QString kWidthKey = QStringLiteral("listwidth");
const QString kHeightKey = QStringLiteral("listheight");

bool optionOn(const QString& key) {
    bool ok = false;
    const double value = readPreference(key, QStringLiteral("0")).trimmed().toDouble(&ok);
    return ok && value == 1.0;
}

void writeOption(const QString& key, bool on) {
    writePreference(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace

bool CatalogueWindowPreferences::compactLayout() {
    return optionOn(kCompactKey);
}

bool CatalogueWindowPreferences::registerAtStart() {
    return optionOn(kRegisterAtStartKey);
}

void CatalogueWindowPreferences::storeOptions(bool compactLayout, bool registerAtStart) {
    writeOption(kCompactKey, compactLayout);
    writeOption(kRegisterAtStartKey, registerAtStart);
}

void CatalogueWindowPreferences::restoreSize(QWidget& window) {
    const QSize stored(readPreference(kWidthKey).toInt(), readPreference(kHeightKey).toInt());
    if (stored.width() > 0 && stored.height() > 0) {
        window.resize(stored.expandedTo(window.minimumSizeHint()));
    }
}

void CatalogueWindowPreferences::storeSize(const QWidget& window) {
    const QSize size = window.isMaximized() || window.isFullScreen()
                           ? window.normalGeometry().size()
                           : window.size();
    writePreference(kWidthKey, QString::number(size.width()));
    writePreference(kHeightKey, QString::number(size.height()));
}

}  // namespace qm
