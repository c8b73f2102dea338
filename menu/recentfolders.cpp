#include "menu/recentfolders.h"

#include <QFileInfo>

#include "app/helpers.h"
#include "app/recentlist.h"
#include "app/workingfolder.h"
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
        const QStringList matches = subFolderNamesNoCase(current, part);
        if (matches.isEmpty()) {
            return path;
        }
        current = joinPath(current, matches.first());
    }
    return current;
}

}  // namespace qm
