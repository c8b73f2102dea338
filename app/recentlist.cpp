#include "app/recentlist.h"

#include "app/preferences.h"

namespace qm::recentlist {
namespace {}  // namespace

QStringList load(const QString& prefix, const QString& missing) {
    QStringList rows;
    for (int row = 0; row < kRows; ++row) {
        rows.append(readPreference(prefix + QString::number(row), missing));
    }
    return rows;
}

void save(const QString& prefix, const QStringList& rows) {
    for (int row = 0; row < kRows; ++row) {
        writePreference(prefix + QString::number(row), rows.value(row));
    }
}

QStringList putOnTop(QStringList rows, const QString& key) {
    if (!key.isEmpty()) {
        const QString lowerKey = key.toLower();
        for (int row = std::min<int>(kRows, rows.size()) - 1; row >= 0; --row) {
            if (rows[row].toLower() == lowerKey) {
                rows.removeAt(row);
            }
        }
    }
    rows.insert(0, key);
    if (rows.size() > kRows) {
        rows.removeAt(kRows);
    }
    return rows;
}

}  // namespace qm::recentlist
