#include "menu/recentfolders.h"

#include <QDir>
#include <QFileInfo>

#include "app/helpers.h"
#include "platform/paths.h"
#include "platform/settingsstore.h"

namespace qm {
namespace recentfolders {
namespace {

const QString kApplication = QStringLiteral("Orvalde");
const QString kSection = QStringLiteral("qmorn");

QString keyOf(int row) {
    return QStringLiteral("lpd") + QString::number(row);
}

}  // namespace

QStringList load() {
    QStringList rows;
    for (int row = 0; row < kRows; ++row) {
        rows.append(SettingsStore::read(kApplication, kSection, keyOf(row), QString()));
    }
    return rows;
}

void save(const QStringList& rows) {
    for (int row = 0; row < kRows; ++row) {
        SettingsStore::write(kApplication, kSection, keyOf(row), rows.value(row));
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

}  // namespace recentfolders

QString cleanWorkFolder(const QString& path) {
    if (path.isEmpty()) {
        return path;
    }
    return QDir::cleanPath(path);
}

QString resolveFolderCase(const QString& path) {
    if (!isAbsolutePath(path) || QFileInfo(path).isDir()) {
        return path;
    }
    const QStringList parts = path.split(kSeparator, Qt::SkipEmptyParts);
    QString current(kSeparator);
    for (const QString& part : parts) {
        const QString exact = joinPath(current, part);
        if (QFileInfo(exact).isDir()) {
            current = exact;
            continue;
        }
        const QStringList names =
            QDir(current).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        const auto match = std::find_if(names.begin(), names.end(), [&part](const QString& name) {
            return name.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == names.end()) {
            return path;
        }
        current = joinPath(current, *match);
    }
    return current;
}

}  // namespace qm
