#include "app/helpers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHash>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

#include "app/busycursor.h"
#include "app/programstate.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "platform/paths.h"
#include "platform/prompt.h"
#include "platform/textfile.h"

namespace qm {

// The regular files of one folder (hidden ones too), in listing order, with their names looked
// up without regard to case.
struct FolderListing {
    QStringList names;
    QHash<QString, QStringList> byFoldedName;  // every name of each case-folded spelling
};

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

FolderListing listFiles(const QString& folder) {
    FolderListing listing;
    for (const FolderEntry& entry : fileSystem().list(folder).value_or(QList<FolderEntry>())) {
        if (entry.status.isFile()) {
            listing.names.append(entry.name);
            listing.byFoldedName[entry.name.toCaseFolded()].append(entry.name);
        }
    }
    return listing;
}

FileLookupCache* g_lookupCache = nullptr;

// Only "*" and "?" are wildcards; every other character, brackets included, stands for itself.
QRegularExpression wildcardPattern(const QString& name) {
    QString pattern;
    for (const QChar c : name) {
        if (c == u'*') {
            pattern += QLatin1String(".*");
        } else if (c == u'?') {
            pattern += u'.';
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption);
}

// The name of the file in path's folder that is spelt like path's last part without regard to
// case ("" when there is none, or more than one and none spelt exactly so).
QString nameNoCase(const QString& folder, const QString& name) {
    const FileLookupCache::Listing listing(folder);
    return matchNameNoCase(listing->byFoldedName.value(name.toCaseFolded()), name).name;
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
    const QString actual = findFileNoCase(path);
    QByteArray bytes;
    if (actual.isEmpty() || !fileSystem().readFile(actual, &bytes)) {
        messageBox(readableName(path) +
                   QCoreApplication::translate("qm::Helpers", " ﾌｧｲﾙを開けません。"));
        return;
    }
    const BusyCursor busy;
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
    if (name.isEmpty() || FileLookupCache::folderKnownMissing(listingFolder(path))) {
        return false;
    }
    if (!hasWildcard(name)) {
        const FileStatus status = fileSystem().status(path);
        if (status.exists()) {
            return status.isFile() && !isHiddenName(name);
        }
        // Only names with letters of two cases can be found under another spelling.
        if (name.toLower() == name.toUpper()) {
            return false;
        }
        const QString found = nameNoCase(listingFolder(path), name);
        return !found.isEmpty() && !isHiddenName(found);
    }
    const QRegularExpression pattern = wildcardPattern(name);
    const FileLookupCache::Listing listing(listingFolder(path));
    return std::any_of(listing->names.begin(), listing->names.end(), [&](const QString& found) {
        return !isHiddenName(found) && pattern.match(found).hasMatch();
    });
}

QString findFileNoCase(const QString& path) {
    const QString name = lastPathPart(path);
    if (name.isEmpty() || hasWildcard(name) ||
        FileLookupCache::folderKnownMissing(listingFolder(path))) {
        return QString();
    }
    if (fileSystem().status(path).isFile()) {
        return path;
    }
    const QString folder = listingFolder(path);
    const QString found = nameNoCase(folder, name);
    return found.isEmpty() ? QString() : joinPath(folder, found);
}

struct FileLookupCache::Folders {
    QHash<QString, std::shared_ptr<const FolderListing>> byPath;
    // Folders found missing, each the highest missing one on its path: everything below them
    // is missing too, without asking the system again.
    QSet<QString> missing;
};

bool FileLookupCache::folderKnownMissing(const QString& folder) {
    if (!g_lookupCache || g_lookupCache->m_folders->missing.isEmpty()) {
        return false;
    }
    for (QString at = folder; !at.isEmpty(); at = parentFolder(at)) {
        if (g_lookupCache->m_folders->missing.contains(at)) {
            return true;
        }
    }
    return false;
}

FileLookupCache::FileLookupCache() {
    // An inner cache leaves the outer one in charge.
    if (!g_lookupCache) {
        m_folders = std::make_unique<Folders>();
        g_lookupCache = this;
    }
}

FileLookupCache::~FileLookupCache() {
    if (g_lookupCache == this) {
        g_lookupCache = nullptr;
    }
}

FileLookupCache::Listing::Listing(const QString& folder) {
    if (!g_lookupCache) {
        m_listing = std::make_shared<const FolderListing>(listFiles(folder));
        return;
    }
    auto& cached = g_lookupCache->m_folders->byPath[folder];
    if (!cached) {
        cached = std::make_shared<const FolderListing>(listFiles(folder));
        if (cached->names.isEmpty() && !fileSystem().status(folder).exists()) {
            QString top = folder;
            while (!parentFolder(top).isEmpty() &&
                   !fileSystem().status(parentFolder(top)).exists()) {
                top = parentFolder(top);
            }
            g_lookupCache->m_folders->missing.insert(top);
        }
    }
    m_listing = cached;
}

bool folderExists(const QString& path) {
    return fileSystem().status(path).listable;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(kSeparator)) {
        return folder + name;
    }
    return folder + kSeparator + name;
}

}  // namespace qm
