#include "platform/foldertree.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filehandle.h"
#include "platform/pathbytes.h"
#include "platform/prompt.h"
#include "platform/systemcalls.h"
#include "platform/systemerror.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// The tree below the folder being deleted, breadth-first: a folder always comes before its
// contents. Only treeEntryCount is reset; entries beyond it are stale. Each entry keeps its full
// path (for messages), and how to reach it again without following a link: its folder's entry
// (-1 for the folder being deleted), its name and its inode.
std::array<fs::path, kTreeEntryLimit> treeEntries;
int treeEntryCount = 0;

struct EntryPlace {
    int parent;
    fs::path name;
    ino_t inode;
    bool folder;
};
std::array<EntryPlace, kTreeEntryLimit> entryPlaces;

QString translated(const char* text) {
    return QCoreApplication::translate("qm::FolderTree", text);
}

// The mount a folder open as fd belongs to, or 0 when the system does not tell.
quint64 mountOf(int fd) {
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) == 0 && (sx.stx_mask & STATX_MNT_ID)) {
        return sx.stx_mnt_id;
    }
    return 0;
}

// One deletion: reaches every listed entry through folder descriptors opened without following
// links, from the folder being deleted down, and never leaves its file system or its mount.
class TreeRemoval {
public:
    // Opens the folder being deleted; false (with the message shown) when it cannot be.
    bool open(const fs::path& path) {
        m_path = path;
        FileHandle parent(::open(path.has_parent_path() ? path.parent_path().c_str() : ".",
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        m_root = FileHandle(parent.get() < 0
                                ? -1
                                : ::openat(parent.get(), path.filename().c_str(),
                                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (m_root.get() < 0 || ::fstat(m_root.get(), &st) != 0) {
            return cannotRemove(path, errno);
        }
        m_rootParent = std::move(parent);
        m_device = st.st_dev;
        m_mount = mountOf(m_root.get());
        return true;
    }

    // Appends the entries of the folder at index (-1: the folder being deleted) to the table.
    bool collect(int index) {
        FileHandle folder = openFolder(index);
        if (folder.get() < 0) {
            return false;
        }
        DIR* listing = ::fdopendir(::dup(folder.get()));
        if (!listing) {
            return cannotRemove(pathOf(index), errno);
        }
        std::vector<std::pair<fs::path, struct stat>> entries;
        errno = 0;
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            struct stat st {};
            if (name == "." || name == ".." ||
                ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            entries.emplace_back(name, st);
        }
        ::closedir(listing);
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [name, st] : entries) {
            if (treeEntryCount >= kTreeEntryLimit) {
                return tooMany();
            }
            treeEntries[treeEntryCount] = pathOf(index) / name;
            entryPlaces[treeEntryCount] = {index, name, st.st_ino, S_ISDIR(st.st_mode)};
            ++treeEntryCount;
        }
        return true;
    }

    bool isFolder(int index) const { return entryPlaces[index].folder; }

    // Removes the file or link at index.
    bool removeFile(int index) { return removeEntry(index, 0); }

    // Removes the folder at index; *gone tells whether it was there to remove. A file in its
    // place (one that survived or appeared) stops the deletion.
    bool removeFolder(int index, bool* gone) {
        *gone = false;
        const int parent = folderHolding(index);
        if (parent < 0) {
            return false;
        }
        struct stat st {};
        if (::fstatat(parent, entryPlaces[index].name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            return true;  // gone already
        }
        if (!S_ISDIR(st.st_mode)) {
            return cannotRemove(treeEntries[index], ENOTEMPTY);
        }
        *gone = true;
        return removeIn(parent, entryPlaces[index].name, treeEntries[index], AT_REMOVEDIR);
    }

    bool removeRoot() {
        return removeIn(m_rootParent.get(), m_path.filename(), m_path, AT_REMOVEDIR);
    }

    // Gives folders made writable for the deletion their mode back.
    void restoreModes() {
        for (const auto& [folder, mode] : m_madeWritable) {
            ::fchmod(folder.get(), mode);
        }
        m_madeWritable.clear();
    }

    static bool tooMany() {
        messageBox(translated(QT_TRANSLATE_NOOP(
                                  "qm::FolderTree",
                                  "ファイルとフォルダが %1 個を超えるため削除できません。何も"
                                  "削除していません。"))
                       .arg(kTreeEntryLimit));
        return false;
    }

    static bool cannotRemove(const fs::path& path, int error) {
        messageBox(translated(QT_TRANSLATE_NOOP("qm::FolderTree", "%1 を削除できません（%2）。"))
                       .arg(readableName(pathText(path)), systemErrorText(error)));
        return false;
    }

private:
    fs::path pathOf(int index) const { return index < 0 ? m_path : treeEntries[index]; }

    // Opens the folder at index through its parents, each without following a link and checked
    // to be the folder listed, on the same mount.
    FileHandle openFolder(int index) {
        if (index < 0) {
            return FileHandle(::dup(m_root.get()));
        }
        FileHandle parent = openFolder(entryPlaces[index].parent);
        if (parent.get() < 0) {
            return parent;
        }
        FileHandle folder(::openat(parent.get(), entryPlaces[index].name.c_str(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0) {
            cannotRemove(treeEntries[index], errno);
            return FileHandle();
        }
        if (st.st_dev != m_device || (m_mount != 0 && mountOf(folder.get()) != m_mount)) {
            messageBox(translated(QT_TRANSLATE_NOOP(
                                      "qm::FolderTree",
                                      "%1 には別のファイルシステムがマウントされています。その中"
                                      "は削除しません。"))
                           .arg(readableName(pathText(treeEntries[index]))));
            return FileHandle();
        }
        if (st.st_ino != entryPlaces[index].inode) {
            cannotRemove(treeEntries[index], ENOTDIR);
            return FileHandle();
        }
        return folder;
    }

    bool removeEntry(int index, int flags) {
        const int parent = folderHolding(index);
        return parent >= 0 && removeIn(parent, entryPlaces[index].name, treeEntries[index], flags);
    }

    // The folder holding the entry at index, open: consecutive entries of one folder (most of
    // them) share one opening of it, as "rm" keeps one per folder.
    int folderHolding(int index) {
        const int parent = entryPlaces[index].parent;
        if (parent != m_heldIndex) {
            m_held = openFolder(parent);
            m_heldIndex = parent;
        }
        return m_held.get();
    }

    // Removes name in the folder open as folder; a read-only folder of the user's own is made
    // writable for that.
    bool removeIn(int folder, const fs::path& name, const fs::path& path, int flags) {
        if (systemCalls().unlinkAt(folder, name.c_str(), flags) == 0) {
            return true;
        }
        struct stat st {};
        if (errno != EACCES || ::fstat(folder, &st) != 0 || st.st_uid != ::geteuid() ||
            (st.st_mode & S_IWUSR)) {
            return cannotRemove(path, errno);
        }
        FileHandle kept(::dup(folder));
        if (::fchmod(folder, (st.st_mode & 07777) | S_IWUSR) != 0) {
            return cannotRemove(path, EACCES);
        }
        m_madeWritable.emplace_back(std::move(kept), st.st_mode & 07777);
        return systemCalls().unlinkAt(folder, name.c_str(), flags) == 0 ||
               cannotRemove(path, errno);
    }

    fs::path m_path;
    FileHandle m_root;
    FileHandle m_rootParent;
    dev_t m_device = 0;
    quint64 m_mount = 0;
    std::vector<std::pair<FileHandle, mode_t>> m_madeWritable;
    FileHandle m_held;
    int m_heldIndex = -2;  // none
};

}  // namespace

bool collectFolderEntries(const QString& folder) {
    const fs::path path = fsPath(folder);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        return true;
    }
    // Listed on its own, outside a deletion: its entries count as children of the table's root.
    TreeRemoval removal;
    return removal.open(path) && removal.collect(-1);
}

bool deleteFolderTree(const QString& folder) {
    treeEntryCount = 0;
    QString text = folder;
    while (text.size() > 1 && text.endsWith(u'/')) {
        text.chop(1);
    }
    const fs::path path = fsPath(text);
    struct stat st {};
    if (text.isEmpty() || ::lstat(path.c_str(), &st) != 0) {
        return TreeRemoval::cannotRemove(path, text.isEmpty() ? ENOENT : errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        // A link in place of the folder: the link goes, whatever it points at stays. A plain
        // file is not a folder and is left alone.
        if (!S_ISLNK(st.st_mode)) {
            return TreeRemoval::cannotRemove(path, ENOTDIR);
        }
        if (systemCalls().unlink(path.c_str()) != 0) {
            return TreeRemoval::cannotRemove(path, errno);
        }
        return false;
    }
    TreeRemoval removal;
    if (!removal.open(path) || !removal.collect(-1)) {
        return false;
    }
    for (int i = 0; i < treeEntryCount; ++i) {
        if (removal.isFolder(i) && !removal.collect(i)) {
            return false;
        }
    }
    bool removed = false;
    bool whole = true;
    for (int i = 0; whole && i < treeEntryCount; ++i) {
        whole = removal.isFolder(i) || removal.removeFile(i);
    }
    for (int j = treeEntryCount - 1; whole && j >= 0; --j) {
        bool gone = false;
        whole = !removal.isFolder(j) || removal.removeFolder(j, &gone);
        removed = removed || gone;
    }
    whole = whole && removal.removeRoot();
    if (!whole) {
        removal.restoreModes();
        return false;
    }
    return removed;
}

}  // namespace qm
