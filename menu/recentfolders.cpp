#include "menu/recentfolders.h"

#include <QDir>
#include <QFileInfo>

#include "app/helpers.h"
#include "app/recentlist.h"
#include "platform/paths.h"

namespace qm {
namespace recentfolders {

QStringList load() {
    return recentlist::load(QStringLiteral("lpd"), QString());
}

void save(const QStringList& rows) {
    recentlist::save(QStringLiteral("lpd"), rows);
}

QStringList putOnTop(QStringList rows, const QString& key) {
    return recentlist::putOnTop(std::move(rows), key);
}

}  // namespace recentfolders

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
