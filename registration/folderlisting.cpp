#include "registration/folderlisting.h"

#include <QDir>

#include "platform/programkind.h"

#include <algorithm>

namespace qm {
namespace {

void sortNoCase(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

QFileInfoList entries(const QString& folder, QDir::Filters filters) {
    if (folder.isEmpty()) {
        return {};
    }
    return QDir(folder).entryInfoList(filters | QDir::NoDotAndDotDot, QDir::Unsorted);
}

}  // namespace

bool isProgramFile(const QFileInfo& info) {
    if (!info.isFile()) {
        return false;
    }
    if (info.fileName().endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        return true;
    }
#ifdef Q_OS_WIN
    return false;
#else
    // By what the file is: sticks formatted FAT, exFAT or NTFS give every file the execute bit.
    return programKind(info.filePath()) != ProgramKind::NotProgram;
#endif
}

bool isTextFile(const QFileInfo& info) {
    return info.isFile() && info.fileName().endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

QStringList listFileNames(const QString& folder, const FileFilter& filter) {
    QStringList names;
    for (const QFileInfo& info : entries(folder, QDir::Files)) {
        if (!info.fileName().startsWith(u'.') && filter(info)) {
            names.append(info.fileName());
        }
    }
    sortNoCase(names);
    return names;
}

QStringList listFolderNames(const QString& folder) {
    QStringList names;
    for (const QFileInfo& info : entries(folder, QDir::Dirs)) {
        if (!info.fileName().startsWith(u'.')) {
            names.append(info.fileName());
        }
    }
    sortNoCase(names);
    return names;
}

}  // namespace qm
