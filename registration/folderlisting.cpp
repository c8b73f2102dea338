#include "registration/folderlisting.h"

#include <algorithm>

#include "platform/fspath.h"
#include "platform/programkind.h"

namespace qm {
namespace {

void sortNoCase(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

// The names of folder's entries that are not hidden and pass filter, sorted.
QStringList listNames(const QString& folder,
                      const std::function<bool(const FolderEntry&)>& filter) {
    QStringList names;
    if (folder.isEmpty()) {
        return names;
    }
    for (const FolderEntry& entry : fileSystem().list(folder).value_or(QList<FolderEntry>())) {
        if (!entry.name.startsWith(u'.') && filter(entry)) {
            names.append(entry.name);
        }
    }
    sortNoCase(names);
    return names;
}

}  // namespace

bool isProgramFile(const QString& folder, const FolderEntry& entry) {
    if (!entry.status.isFile()) {
        return false;
    }
    if (entry.name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        return true;
    }
#ifdef Q_OS_WIN
    return false;
#else
    // By what the file is: sticks formatted FAT, exFAT or NTFS give every file the execute bit.
    return programKind(FsPath(folder).child(entry.name).text()) != ProgramKind::NotProgram;
#endif
}

bool isTextFile(const QString&, const FolderEntry& entry) {
    return entry.status.isFile() && entry.name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

QStringList listFileNames(const QString& folder, const FileFilter& filter) {
    return listNames(folder, [&](const FolderEntry& entry) {
        return entry.status.isFile() && filter(folder, entry);
    });
}

QStringList listFolderNames(const QString& folder) {
    return listNames(folder, [](const FolderEntry& entry) { return entry.status.isFolder(); });
}

}  // namespace qm
