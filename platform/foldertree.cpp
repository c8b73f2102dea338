#include "platform/foldertree.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/fileoperation.h"
#include "platform/pathbytes.h"
#include "platform/prompt.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// The tree below the folder being deleted, breadth-first: a folder always comes before its
// contents. Only treeEntryCount is reset; entries beyond it are stale. Names are kept as bytes,
// so that a name that is not text still names the real file.
std::array<fs::path, kTreeEntryLimit> treeEntries;
int treeEntryCount = 0;

enum class EntryKind { Missing, Folder, Other, Unknown };

// What a path is, without following a link: a link is never a folder here.
EntryKind entryKind(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        return EntryKind::Missing;
    }
    if (ec) {
        return EntryKind::Unknown;
    }
    return fs::is_directory(status) ? EntryKind::Folder : EntryKind::Other;
}

// Removes one file, link or empty folder.
bool removeEntry(const fs::path& path) {
    if (fileSystemRefuses(pathText(path))) {
        return false;
    }
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

bool fail() {
    messageBox(QStringLiteral("error"));
    return false;
}

bool collectEntries(const fs::path& folder) {
    const EntryKind kind = entryKind(folder);
    if (kind == EntryKind::Missing || kind == EntryKind::Unknown) {
        return false;
    }
    if (kind != EntryKind::Folder) {
        return true;
    }
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return false;
    }
    std::vector<fs::path> names;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        names.push_back(it->path().filename());
    }
    if (ec) {
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const fs::path& name : names) {
        if (treeEntryCount >= kTreeEntryLimit) {
            return false;
        }
        treeEntries[treeEntryCount++] = folder / name;
    }
    return true;
}

}  // namespace

bool collectFolderEntries(const QString& folder) {
    return collectEntries(fsPath(folder));
}

bool deleteFolderTree(const QString& folder) {
    treeEntryCount = 0;
    QString text = folder;
    while (text.size() > 1 && text.endsWith(u'/')) {
        text.chop(1);
    }
    const fs::path path = fsPath(text);
    const EntryKind kind = entryKind(path);
    if (text.isEmpty() || kind == EntryKind::Missing || kind == EntryKind::Unknown) {
        return fail();
    }
    if (kind == EntryKind::Other) {
        // A link in place of the folder: the link goes, whatever it points at stays. A plain
        // file is not a folder and is left alone.
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)) || !removeEntry(path)) {
            return fail();
        }
        return false;
    }
    if (!collectEntries(path)) {
        return fail();
    }
    for (int i = 0; i < treeEntryCount; ++i) {
        if (entryKind(treeEntries[i]) == EntryKind::Folder && !collectEntries(treeEntries[i])) {
            return fail();
        }
    }
    // The whole tree is listed: read-only folders of the user's own may now lose their entries
    // (a folder comes before its contents, so it is writable before they are removed).
    allowChangesIn(path);
    for (int i = 0; i < treeEntryCount; ++i) {
        const EntryKind entry = entryKind(treeEntries[i]);
        if (entry == EntryKind::Unknown) {
            return fail();
        }
        if (entry == EntryKind::Folder) {
            allowChangesIn(treeEntries[i]);
        } else if (entry == EntryKind::Other && !removeEntry(treeEntries[i])) {
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
