#include "app/preferences.h"

#include "platform/settingsstore.h"

namespace qm {
namespace {

const QString kApplication = QStringLiteral("Orvalde");
const QString kSection = QStringLiteral("qmorn");

}  // namespace

QString readPreference(const QString& key, const QString& defaultValue) {
    return SettingsStore::read(kApplication, kSection, key, defaultValue);
}

void writePreference(const QString& key, const QString& value) {
    SettingsStore::write(kApplication, kSection, key, value);
}

}  // namespace qm
