#include "folders/foldertree.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/fileoperation.h"
#include "platform/prompt.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// The tree below the folder being deleted, breadth-first: a folder always comes before its
// contents. Only treeEntryCount is reset; entries beyond it are stale.
std::array<QString, kTreeEntryLimit> treeEntries;
int treeEntryCount = 0;

fs::path toPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

enum class EntryKind { Missing, Folder, Other, Unknown };

// What a path is, without following a link: a link is never a folder here.
EntryKind entryKind(const QString& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(toPath(path), ec);
    if (status.type() == fs::file_type::not_found) {
        return EntryKind::Missing;
    }
    if (ec) {
        return EntryKind::Unknown;
    }
    return fs::is_directory(status) ? EntryKind::Folder : EntryKind::Other;
}

// Removes one file, link or empty folder.
bool removeEntry(const QString& path) {
    if (fileSystemRefuses(path)) {
        return false;
    }
    std::error_code ec;
    return fs::remove(toPath(path), ec) && !ec;
}

bool fail() {
    messageBox(QStringLiteral("error"));
    return false;
}

}  // namespace

bool collectFolderEntries(const QString& folder) {
    const EntryKind kind = entryKind(folder);
    if (kind == EntryKind::Missing || kind == EntryKind::Unknown) {
        return false;
    }
    if (kind != EntryKind::Folder) {
        return true;
    }
    std::error_code ec;
    fs::directory_iterator it(toPath(folder), ec);
    if (ec) {
        return false;
    }
    QStringList names;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        names.append(QFile::decodeName(QByteArray::fromStdString(it->path().filename().native())));
    }
    if (ec) {
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const QString& name : std::as_const(names)) {
        if (treeEntryCount >= kTreeEntryLimit) {
            return false;
        }
        treeEntries[treeEntryCount++] = folder + u'/' + name;
    }
    return true;
}

bool deleteFolderTree(const QString& folder) {
    treeEntryCount = 0;
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    const EntryKind kind = entryKind(path);
    if (kind == EntryKind::Missing || kind == EntryKind::Unknown) {
        return fail();
    }
    if (kind == EntryKind::Other) {
        // A link in place of the folder: the link goes, whatever it points at stays. A plain
        // file is not a folder and is left alone.
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(toPath(path), ec)) || !removeEntry(path)) {
            return fail();
        }
        return false;
    }
    if (!collectFolderEntries(path)) {
        return fail();
    }
    for (int i = 0; i < treeEntryCount; ++i) {
        if (entryKind(treeEntries[i]) == EntryKind::Folder &&
            !collectFolderEntries(treeEntries[i])) {
            return fail();
        }
    }
    for (int i = 0; i < treeEntryCount; ++i) {
        const EntryKind entry = entryKind(treeEntries[i]);
        if (entry == EntryKind::Unknown) {
            return fail();
        }
        if (entry == EntryKind::Other && !removeEntry(treeEntries[i])) {
            return fail();
        }
    }
    bool removed = false;
    for (int j = treeEntryCount - 1; j >= 0; --j) {
        switch (entryKind(treeEntries[j])) {
            case EntryKind::Missing:
                break;
            case EntryKind::Folder:
                if (!removeEntry(treeEntries[j])) {
                    return fail();
                }
                removed = true;
                break;
            case EntryKind::Other:
            case EntryKind::Unknown:
                // Something appeared or survived since the files were deleted.
                return fail();
        }
    }
    if (!removeEntry(path)) {
        return fail();
    }
    return removed;
}

}  // namespace qm
