#include "menu/recentfolders.h"

#include "app/helpers.h"
#include "app/recentlist.h"
#include "platform/filesystem.h"
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
    return recentlist::putOnTop(std::move(rows), key, resolveFolderCase);
}

}  // namespace recentfolders

QString resolveFolderCase(const QString& path) {
    if (!isAbsolutePath(path) || fileSystem().status(path).isFolder()) {
        return path;
    }
    const QStringList parts = path.split(kSeparator, Qt::SkipEmptyParts);
    QString current(kSeparator);
    for (const QString& part : parts) {
        const FoundName found = fileSystem().find(current, part, EntryFilter::Folders);
        if (!found.isOne()) {
            return path;
        }
        current = joinPath(current, found.name);
    }
    return current;
}

}  // namespace qm
