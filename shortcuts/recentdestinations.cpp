#include "shortcuts/recentdestinations.h"

#include "app/recentlist.h"
#include "platform/paths.h"
#include "shortcuts/startmenucopy.h"

namespace qm {

QString notAvailable() {
    return QStringLiteral("(N/A)");
}

QStringList loadRecentDestinations() {
    return recentlist::load(QStringLiteral("lpl"), notAvailable());
}

void storeRecentDestinations(const QStringList& items) {
    recentlist::save(QStringLiteral("lpl"), items);
}

QStringList withRecentDestination(QStringList items, const QString& used) {
    return recentlist::putOnTop(std::move(items), used, [](const QString& row) {
        return shownDestination(applicationsFolder(), row);
    });
}

}  // namespace qm
