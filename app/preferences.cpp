#include "app/preferences.h"

#include <QCoreApplication>

#include "platform/prompt.h"
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
    static bool told = false;
    if (SettingsStore::write(kApplication, kSection, key, value) || told) {
        return;
    }
    // Said once: a read-only stick refuses every later value too.
    told = true;
    messageBox(QCoreApplication::translate("qm::Preferences",
                                           "設定を保存できませんでした。次のファイルに書き込めるか"
                                           "確かめてください。\n") +
                   SettingsStore::location(kApplication),
               MsgExclamation);
}

}  // namespace qm
