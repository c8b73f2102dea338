#include "platform/folderswap.h"

#include <QList>
#include <QPair>

#include <cstdlib>
#include <string>

#include <sys/stat.h>

#include "platform/pathbytes.h"
#include "platform/systemcalls.h"

namespace qm {
namespace {

bool renameEntry(const QString& from, const QString& to) {
    return systemCalls().rename(fsPath(from).c_str(), fsPath(to).c_str()) == 0;
}

bool removeEmptyFolder(const QString& path) {
    return systemCalls().removeFolder(fsPath(path).c_str()) == 0;
}

}  // namespace

QString makeStagingFolder(const QString& parent) {
    if (parent.isEmpty() || !makeFolderWithParents(fsPath(parent).c_str(), 0777)) {
        return QString();
    }
    std::string pattern = fsPath(parent).native() + "/.quillmorn-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        return QString();
    }
    // mkdtemp makes a folder only its owner may enter; the folder becomes a menu folder like any
    // other.
    ::chmod(pattern.c_str(), 0755);
    return pathText(pattern);
}

std::optional<QStringList> swapIntoPlace(const QString& parent, const QString& staged,
                                         const QString& name, const QStringList& replaced) {
    QList<QPair<QString, QString>> movedAside;  // (where it was, where it is)
    const auto putBack = [&movedAside] {
        for (auto it = movedAside.crbegin(); it != movedAside.crend(); ++it) {
            renameEntry(it->second, it->first);
        }
    };
    for (const QString& old : replaced) {
        // An empty folder reserves the name; the rename then replaces it.
        const QString aside = makeStagingFolder(parent);
        const QString from = parent + u'/' + old;
        if (aside.isEmpty() || !removeEmptyFolder(aside) || !renameEntry(from, aside)) {
            if (!aside.isEmpty()) {
                removeEmptyFolder(aside);
            }
            putBack();
            return std::nullopt;
        }
        movedAside.append({from, aside});
    }
    if (!renameEntry(staged, parent + u'/' + name)) {
        putBack();
        return std::nullopt;
    }
    QStringList asidePaths;
    for (const auto& moved : std::as_const(movedAside)) {
        asidePaths << moved.second;
    }
    return asidePaths;
}

}  // namespace qm
