#include "shortcuts/recentdestinations.h"

#include "platform/settingsstore.h"

namespace qm {
namespace {

const QString kApplication = QStringLiteral("Orvalde");
const QString kSection = QStringLiteral("qmorn");

QString slotKey(int slot) {
    return QStringLiteral("lpl") + QString::number(slot);
}

}  // namespace

QString notAvailable() {
    return QStringLiteral("(N/A)");
}

QStringList loadRecentDestinations() {
    QStringList items;
    for (int slot = 0; slot < kRecentDestinations; ++slot) {
        items << SettingsStore::read(kApplication, kSection, slotKey(slot), notAvailable());
    }
    return items;
}

void storeRecentDestinations(const QStringList& items) {
    for (int slot = 0; slot < kRecentDestinations; ++slot) {
        SettingsStore::write(kApplication, kSection, slotKey(slot), items.value(slot));
    }
}

QStringList withRecentDestination(QStringList items, const QString& used) {
    const QString lower = used.toLower();
    for (qsizetype i = std::min<qsizetype>(items.size(), kRecentDestinations) - 1; i >= 0; --i) {
        if (items[i].toLower() == lower) {
            items.removeAt(i);
        }
    }
    items.prepend(lower);
    while (items.size() > kRecentDestinations) {
        items.removeLast();
    }
    return items;
}

}  // namespace qm
