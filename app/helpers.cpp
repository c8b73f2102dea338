#include "app/helpers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QPlainTextEdit>

#include "app/busycursor.h"
#include "app/programstate.h"
#include "platform/paths.h"
#include "platform/prompt.h"
#include "platform/textfile.h"

namespace qm {
namespace {

bool hasWildcard(const QString& name) {
    return name.contains(u'*') || name.contains(u'?');
}

bool isHiddenName(const QString& name) {
    return name.startsWith(u'.');
}

// The folder part of path, for listing: "" means the current folder, "/" the root.
QString listingFolder(const QString& path) {
    const qsizetype p = path.lastIndexOf(kSeparator);
    if (p < 0) {
        return QStringLiteral(".");
    }
    if (p == 0) {
        return QString(kSeparator);
    }
    return path.left(p);
}

// The first regular, visible file in folder whose name matches pattern without regard to case.
QString findMatch(const QString& folder, const QString& pattern) {
    QDirIterator it(folder, QStringList{pattern}, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString found = it.next();
        if (!isHiddenName(it.fileName())) {
            return found;
        }
    }
    return QString();
}

}  // namespace

QString specialFolderPath(int csidl) {
    if (csidl == kCsidlPrograms) {
        return applicationsFolder();
    }
    return QString();
}

void addCategory(const QString& category) {
    auto& table = state().categoryTable;
    if (table[0] == category) {
        return;
    }
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (table[i].isEmpty()) {
            table[i] = category;
            return;
        }
        if (table[i] == category) {
            return;
        }
    }
    // The table is full: the category is not collected.
}

void showTextFile(const QString& path, QPlainTextEdit* preview) {
    QString actual = path;
    if (!QFileInfo(actual).isFile()) {
        const QString found = findFileNoCase(path);
        if (!found.isEmpty()) {
            actual = found;
        }
    }
    QFile file(actual);
    if (!QFileInfo(actual).isFile() || !file.open(QIODevice::ReadOnly)) {
        messageBox(path + QCoreApplication::translate("qm::Helpers", " ﾌｧｲﾙを開けません。"));
        return;
    }
    const BusyCursor busy;
    const QByteArray bytes = file.readAll();
    if (preview) {
        preview->setPlainText(decodeText(bytes));
    }
}

QString parentFolder(const QString& path) {
    const qsizetype p = path.lastIndexOf(kSeparator);
    return p < 0 ? QString() : path.left(p);
}

QString lastPathPart(const QString& path) {
    const qsizetype p = path.lastIndexOf(kSeparator);
    return p < 0 ? path : path.mid(p + 1);
}

bool fileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QString name = lastPathPart(path);
    if (name.isEmpty()) {
        return false;
    }
    if (!hasWildcard(name)) {
        const QFileInfo info(path);
        if (info.exists()) {
            return info.isFile() && !isHiddenName(name);
        }
        // Only names with letters of two cases can be found under another spelling.
        if (name.toLower() == name.toUpper()) {
            return false;
        }
    }
    return !findMatch(listingFolder(path), name).isEmpty();
}

QString findFileNoCase(const QString& path) {
    const QString name = lastPathPart(path);
    if (name.isEmpty() || hasWildcard(name)) {
        return QString();
    }
    const QFileInfo info(path);
    if (info.isFile()) {
        return path;
    }
    const QString folder = listingFolder(path);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString found = it.next();
        if (it.fileName().compare(name, Qt::CaseInsensitive) == 0) {
            return found;
        }
    }
    return QString();
}

bool folderExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(kSeparator)) {
        return folder + name;
    }
    return folder + kSeparator + name;
}

}  // namespace qm
