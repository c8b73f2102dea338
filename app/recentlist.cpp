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

QStringList putOnTop(QStringList rows, const QString& key, const RowResolver& resolve) {
    if (!key.isEmpty()) {
        const auto isKey = [&](const QString& row) {
            if (row == key) {
                return true;
            }
            const bool oldLowerCased = row == row.toLower() && row == key.toLower();
            return oldLowerCased && resolve && resolve(row) == key;
        };
        for (int row = std::min<int>(kRows, rows.size()) - 1; row >= 0; --row) {
            if (isKey(rows[row])) {
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
