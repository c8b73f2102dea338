#include "platform/fileoperation.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/filehandle.h"
#include "platform/pathbytes.h"
#include "platform/systemcalls.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// Results of shellFileOperation() besides 0.
constexpr int kMissingSource = 2;      // the source folder does not exist
constexpr int kBadRequest = 0x7c;      // an unknown function, an empty path, a loop
constexpr int kBadDestination = 0x7a;  // the destination cannot be made a folder
constexpr int kTransferFailed = 0x75;  // a file or folder could not be moved or copied

constexpr size_t kCopyChunk = size_t(8) << 20;
// How often a file that changed while it was copied is copied again before it is left alone.
constexpr int kCopyAttempts = 3;

QString beforeNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

bool isRealFolder(const struct stat& st) {
    return S_ISDIR(st.st_mode);
}

// lstat(); false when path does not exist or cannot be examined.
bool entryStatus(const fs::path& path, struct stat* st) {
    return ::lstat(path.c_str(), st) == 0;
}

bool sameTimes(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Gives a folder of the user's own that lacks the owner's write permission that permission
// while entries are moved into or out of it, and its mode back afterwards (at the place where
// the folder then is). Root and folders that are writable already are left alone.
class WritableFolder {
public:
    explicit WritableFolder(const fs::path& folder) : m_folder(folder) {
        const int mode = allowChangesIn(folder);
        m_changed = mode >= 0;
        m_mode = mode_t(std::max(mode, 0));
    }
    ~WritableFolder() { restore(); }
    WritableFolder(const WritableFolder&) = delete;
    WritableFolder& operator=(const WritableFolder&) = delete;

    // The folder was renamed to path.
    void movedTo(const fs::path& path) { m_folder = path; }
    // The folder was removed: nothing to give back.
    void removed() { m_changed = false; }
    void restore() {
        if (m_changed) {
            ::chmod(m_folder.c_str(), m_mode);
            m_changed = false;
        }
    }

private:
    fs::path m_folder;
    mode_t m_mode = 0;
    bool m_changed = false;
};

enum class Lease { Taken, Held, Unavailable };

// Tries to take a write lease on fd, which the system refuses while anyone else has the file
// open (a running program and the libraries it mapped included). Unavailable: no lease can be
// had here (another owner's file, a file system without leases), and the size, time and change
// time checks alone guard the file. A lease taken must be released with releaseLease().
Lease takeLease(int fd) {
    // A lease break signal must not end the program: SIGURG is ignored unless handled.
    ::fcntl(fd, F_SETSIG, SIGURG);
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
        return Lease::Taken;
    }
    return errno == EAGAIN || errno == EBUSY ? Lease::Held : Lease::Unavailable;
}

void releaseLease(int fd) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
}

bool heldOpenElsewhere(int fd) {
    const Lease lease = takeLease(fd);
    if (lease == Lease::Taken) {
        releaseLease(fd);
    }
    return lease == Lease::Held;
}

// True when a and b describe the same file with the same contents, as far as its size, its
// modification time and its change time (which any write, truncation or attribute change moves)
// tell.
bool unchanged(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
           sameTimes(a.st_mtim, b.st_mtim) && sameTimes(a.st_ctim, b.st_ctim);
}

using InodeKey = std::pair<dev_t, ino_t>;

InodeKey inodeKey(const struct stat& st) {
    return {st.st_dev, st.st_ino};
}

// Copies the extended attributes (access control lists among them) that list, get and set reach,
// as far as the destination takes them: like "cp -a", one it refuses is left out.
template <typename List, typename Get, typename Set>
void copyExtendedAttributes(List list, Get get, Set set) {
    ssize_t size = list(nullptr, 0);
    if (size <= 0) {
        return;
    }
    std::vector<char> names(size_t(size) + 1);
    size = list(names.data(), names.size());
    std::vector<char> value;
    for (ssize_t at = 0; at < size; at += ssize_t(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        const ssize_t length = get(name, nullptr, 0);
        if (length < 0) {
            continue;
        }
        value.resize(size_t(length) + 1);
        const ssize_t got = get(name, value.data(), value.size());
        if (got >= 0) {
            set(name, value.data(), size_t(got));
        }
    }
}

void copyFileAttributes(int in, int out) {
    copyExtendedAttributes([in](char* list, size_t size) { return ::flistxattr(in, list, size); },
                           [in](const char* name, void* value, size_t size) {
                               return ::fgetxattr(in, name, value, size);
                           },
                           [out](const char* name, const void* value, size_t size) {
                               return ::fsetxattr(out, name, value, size, 0);
                           });
}

void copyPathAttributes(const fs::path& from, const fs::path& to) {
    copyExtendedAttributes(
        [&](char* list, size_t size) { return ::llistxattr(from.c_str(), list, size); },
        [&](const char* name, void* value, size_t size) {
            return ::lgetxattr(from.c_str(), name, value, size);
        },
        [&](const char* name, const void* value, size_t size) {
            return ::lsetxattr(to.c_str(), name, value, size, 0);
        });
}

// Makes a new entry under a free temporary name beside to with make(name), which fails with
// EEXIST when the name is taken: no existing file is ever replaced.
bool makeTemporary(const fs::path& to, fs::path* temporary,
                   const std::function<int(const char*)>& make) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = (to.parent_path() / kTransferTemporaryPrefix).native();
        for (int i = 0; i < 6; ++i) {
            name += kLetters[random() % (sizeof(kLetters) - 1)];
        }
        if (make(name.c_str()) == 0) {
            *temporary = name;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool isTransferTemporary(const fs::path& path) {
    return path.filename().native().starts_with(kTransferTemporaryPrefix);
}

// The mark an unfinished move leaves in its destination: it holds the source's path.
fs::path unfinishedMark(const fs::path& destination) {
    return destination / kUnfinishedMoveMark;
}

std::string markedSource(const fs::path& destination) {
    const FileHandle mark(
        ::open(unfinishedMark(destination).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while (mark.get() >= 0 && (got = ::read(mark.get(), buffer, sizeof buffer)) > 0) {
        text.append(buffer, size_t(got));
    }
    return text;
}

// Moves or copies trees of entries; stops at the first failure, which *outcome describes.
class Transfer {
public:
    Transfer(const FileOperationProgress& progress, TransferOutcome* outcome)
        : m_progress(progress), m_outcome(outcome) {}

    using Pairs = std::vector<std::pair<fs::path, fs::path>>;

    // Moves each first path to its second; sourceFolder holds the first ones. Checks first and
    // puts back what was moved when it fails midway.
    bool move(const Pairs& pairs, const fs::path& sourceFolder, const fs::path& destination) {
        struct stat here {};
        struct stat there {};
        if (!entryStatus(sourceFolder, &here) || ::stat(destination.c_str(), &there) != 0) {
            return fail(TransferOutcome::Problem::Failed, sourceFolder, errno);
        }
        m_destination = destination;
        m_cross = !systemCalls().sameFileSystem(here.st_dev, there.st_dev);
        for (;;) {
            if (!check(pairs, here.st_dev)) {
                return false;
            }
            const bool moved = m_cross ? copyAll(pairs) && settle() : renameAll(pairs);
            if (!moved) {
                undo(sourceFolder);
            }
            restoreSourceModes();
            if (moved) {
                return true;
            }
            if (m_cross || !m_renameCrossed || !m_outcome->putBack) {
                return false;
            }
            // A rename found another file system after all (a bind mount): copy instead.
            *m_outcome = TransferOutcome();
            m_cross = true;
        }
    }

    bool copyEntry(const fs::path& from, const fs::path& to) {
        tick();
        struct stat source {};
        if (!entryStatus(from, &source)) {
            return false;
        }
        struct stat target {};
        const bool targetExists = entryStatus(to, &target);
        if (isRealFolder(source)) {
            if (targetExists && !isRealFolder(target)) {
                return false;
            }
            if (!targetExists && !makeFolder(to)) {
                return false;
            }
            const bool copied = copyChildren(from, to);
            if (!targetExists) {
                applyFolderAttributes(source, from, to);
            }
            return copied;
        }
        if (targetExists && isRealFolder(target)) {
            return false;
        }
        return copyLeaf(from, to, source, nullptr) == Copied::Done;
    }

    bool copyChildren(const fs::path& from, const fs::path& to) {
        std::vector<fs::path> names;
        if (!listNames(from, &names)) {
            return false;
        }
        return std::all_of(names.begin(), names.end(),
                           [&](const fs::path& name) { return copyEntry(from / name, to / name); });
    }

private:
    // One change the move made, so that it can be put back.
    struct Step {
        enum Kind { Renamed, MadeFolder, Placed, Unlinked, RemovedFolder } kind;
        fs::path from;
        fs::path to;
        struct stat source;
    };

    // A file placed in the destination whose source goes once the copies are on the disk.
    struct PendingRemoval {
        fs::path from;
        fs::path to;
        struct stat copied;
    };

    // A folder copied into the destination: it gets its attributes once it is filled, and its
    // source goes once it is empty.
    struct CopiedFolder {
        fs::path from;
        fs::path to;
        struct stat source;
        bool made;
    };

    // Changed: the source changed while it was copied; HeldOpen: another program holds it open.
    enum class Copied { Done, Changed, HeldOpen, Failed };

    void tick() {
        if (m_progress) {
            m_progress();
        }
    }

    bool fail(TransferOutcome::Problem problem, const fs::path& path, int error = 0) {
        if (m_outcome->problem == TransferOutcome::Problem::None) {
            m_outcome->problem = problem;
            m_outcome->path = pathText(path);
            m_outcome->error = error;
        }
        return false;
    }

    bool failed(const fs::path& path, int error) {
        return fail(TransferOutcome::Problem::Failed, path, error);
    }

    // Checks the whole tree before anything moves.
    bool check(const Pairs& pairs, dev_t device) {
        m_needed = 0;
        m_counted.clear();
        for (const auto& pair : pairs) {
            if (!checkEntry(pair.first, device, true)) {
                return false;
            }
        }
        struct statvfs space {};
        if (m_cross && ::statvfs(m_destination.c_str(), &space) == 0) {
            const qint64 available = qint64(space.f_bavail) * qint64(space.f_frsize);
            if (m_needed > available) {
                m_outcome->needed = m_needed;
                m_outcome->available = available;
                return fail(TransferOutcome::Problem::NoSpace, m_destination);
            }
        }
        return true;
    }

    bool checkEntry(const fs::path& path, dev_t device, bool top) {
        using Problem = TransferOutcome::Problem;
        tick();
        struct stat st {};
        if (!entryStatus(path, &st)) {
            return fail(Problem::Unreadable, path, errno);
        }
        if (st.st_dev != device) {
            return fail(Problem::MountPoint, path);
        }
        if (S_ISDIR(st.st_mode)) {
            // Its entries must be listed (and, when copied, removed from it).
            if ((m_cross || top) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
                st.st_uid != ::geteuid()) {
                return fail(Problem::Unwritable, path, EACCES);
            }
            std::vector<fs::path> names;
            if (!listNames(path, &names)) {
                return fail(Problem::Unreadable, path, errno);
            }
            m_needed += st.st_blocks * 512;
            return std::all_of(names.begin(), names.end(), [&](const fs::path& name) {
                return checkEntry(path / name, device, false);
            });
        }
        if (S_ISREG(st.st_mode) && isTransferTemporary(path)) {
            // A part copy a killed move left behind: it goes now.
            return systemCalls().unlink(path.c_str()) == 0 ||
                   fail(Problem::Unwritable, path, errno);
        }
        if (S_ISREG(st.st_mode)) {
            const FileHandle file(
                ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (file.get() < 0) {
                return !m_cross || fail(Problem::Unreadable, path, errno);
            }
            if (heldOpenElsewhere(file.get())) {
                return fail(Problem::HeldOpen, path);
            }
            if (m_counted.insert(inodeKey(st)).second) {
                m_needed += st.st_blocks * 512;
            }
            return true;
        }
        return S_ISLNK(st.st_mode) || !m_cross || fail(Problem::Unmovable, path);
    }

    // Renames from to to; false with m_renameCrossed set when only a copy can do it.
    bool tryRename(const fs::path& from, const fs::path& to) {
        if (systemCalls().rename(from.c_str(), to.c_str()) == 0) {
            return true;
        }
        m_renameCrossed = m_renameCrossed || errno == EXDEV;
        return false;
    }

    // Renames a folder into another parent; a read-only folder needs the owner's write
    // permission for that (its ".." entry changes), so it gets it for the rename.
    bool tryRenameFolder(const fs::path& from, const fs::path& to) {
        if (tryRename(from, to)) {
            return true;
        }
        if (errno != EACCES && errno != EPERM) {
            return false;
        }
        WritableFolder writable(from);
        if (tryRename(from, to)) {
            writable.movedTo(to);
            return true;
        }
        return false;
    }

    bool renameAll(const Pairs& pairs) {
        return std::all_of(pairs.begin(), pairs.end(),
                           [&](const auto& pair) { return renameEntry(pair.first, pair.second); });
    }

    bool renameEntry(const fs::path& from, const fs::path& to) {
        tick();
        struct stat source {};
        if (!entryStatus(from, &source)) {
            return failed(from, errno);
        }
        struct stat target {};
        if (!entryStatus(to, &target)) {
            if (!(isRealFolder(source) ? tryRenameFolder(from, to) : tryRename(from, to))) {
                return failed(from, errno);
            }
            m_steps.push_back({Step::Renamed, from, to, source});
            return true;
        }
        if (!isRealFolder(source) && !isRealFolder(target)) {
            // Left by an unfinished move: the source's file is the one that counts.
            if (!tryRename(from, to)) {
                return failed(from, errno);
            }
            m_steps.push_back({Step::Renamed, from, to, source});
            return true;
        }
        if (!isRealFolder(source) || !isRealFolder(target)) {
            return failed(to, EEXIST);
        }
        WritableFolder writable(from);
        std::vector<fs::path> names;
        if (!listNames(from, &names)) {
            return failed(from, errno);
        }
        for (const fs::path& name : names) {
            if (!renameEntry(from / name, to / name)) {
                return false;
            }
        }
        return removeEmptiedFolder(from, source, &writable);
    }

    // Removes a source folder the move emptied; one that gained entries meanwhile stays.
    bool removeEmptiedFolder(const fs::path& from, const struct stat& source,
                             WritableFolder* writable) {
        if (systemCalls().removeFolder(from.c_str()) == 0) {
            if (writable) {
                writable->removed();
            }
            m_steps.push_back({Step::RemovedFolder, from, fs::path(), source});
            return true;
        }
        return errno == ENOTEMPTY || errno == EEXIST || failed(from, errno);
    }

    bool copyAll(const Pairs& pairs) {
        return std::all_of(pairs.begin(), pairs.end(),
                           [&](const auto& pair) { return copyTree(pair.first, pair.second); });
    }

    bool copyTree(const fs::path& from, const fs::path& to) {
        tick();
        struct stat source {};
        if (!entryStatus(from, &source)) {
            return failed(from, errno);
        }
        struct stat target {};
        const bool targetExists = entryStatus(to, &target);
        if (isRealFolder(source)) {
            if (targetExists && !isRealFolder(target)) {
                return failed(to, EEXIST);
            }
            if (!targetExists) {
                if (!makeFolder(to)) {
                    return failed(to, errno);
                }
                m_steps.push_back({Step::MadeFolder, from, to, source});
            }
            std::vector<fs::path> names;
            if (!listNames(from, &names)) {
                return failed(from, errno);
            }
            for (const fs::path& name : names) {
                if (!copyTree(from / name, to / name)) {
                    return false;
                }
            }
            m_folders.push_back({from, to, source, !targetExists});
            return true;
        }
        if (targetExists && isRealFolder(target)) {
            return failed(to, EISDIR);
        }
        if (S_ISREG(source.st_mode) && source.st_nlink > 1) {
            const auto first = m_linked.find(inodeKey(source));
            if (first != m_linked.end()) {
                return linkCopy(first->second, from, to, source);
            }
        }
        for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
            struct stat copied {};
            switch (copyLeaf(from, to, source, &copied)) {
                case Copied::Failed:
                    return failed(from, m_error);
                case Copied::HeldOpen:
                    return fail(TransferOutcome::Problem::HeldOpen, from);
                case Copied::Changed:
                    continue;
                case Copied::Done:
                    m_steps.push_back({Step::Placed, from, to, copied});
                    m_pending.push_back({from, to, copied});
                    if (copied.st_nlink > 1) {
                        m_linked.emplace(inodeKey(copied), to);
                    }
                    return true;
            }
        }
        return true;  // it kept changing: it stays in the source
    }

    // Another name of a file already copied: the copy gets the same name too.
    bool linkCopy(const fs::path& copy, const fs::path& from, const fs::path& to,
                  const struct stat& source) {
        fs::path temporary;
        if (!makeTemporary(to, &temporary,
                           [&](const char* name) { return ::link(copy.c_str(), name); })) {
            return failed(to, errno);
        }
        if (systemCalls().rename(temporary.c_str(), to.c_str()) != 0) {
            const int error = errno;
            systemCalls().unlink(temporary.c_str());
            return failed(to, error);
        }
        m_steps.push_back({Step::Placed, from, to, source});
        m_pending.push_back({from, to, source});
        return true;
    }

    // Flushes the copies made so far to the disk with one sync of the destination's file system
    // (one flush per file costs several times the copy itself).
    bool flush() {
        const FileHandle folder(::open(m_destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() >= 0 && systemCalls().flushFileSystem(folder.get()) == 0) {
            return true;
        }
        return failed(m_destination, errno);
    }

    // Once every copy is on the disk: copies again what changed since it was copied, then
    // removes each source that is still as it was copied, holding a lease on it until it is
    // gone, so that nobody opens it in between; then the emptied source folders.
    bool settle() {
        if (!flush()) {
            return false;
        }
        for (int round = 1; round < kCopyAttempts; ++round) {
            bool recopied = false;
            for (PendingRemoval& file : m_pending) {
                struct stat now {};
                if (!S_ISREG(file.copied.st_mode) || file.copied.st_nlink > 1 ||
                    (entryStatus(file.from, &now) && unchanged(now, file.copied))) {
                    continue;
                }
                tick();
                switch (copyLeaf(file.from, file.to, now, &file.copied)) {
                    case Copied::Failed:
                        return failed(file.from, m_error);
                    case Copied::HeldOpen:
                        return fail(TransferOutcome::Problem::HeldOpen, file.from);
                    case Copied::Changed:
                    case Copied::Done:
                        recopied = true;
                        break;
                }
            }
            if (!recopied) {
                break;
            }
            if (!flush()) {
                return false;
            }
        }
        for (const PendingRemoval& file : m_pending) {
            tick();
            if (!removeSource(file)) {
                return false;
            }
        }
        for (const CopiedFolder& folder : m_folders) {
            if (folder.made) {
                applyFolderAttributes(folder.source, folder.from, folder.to);
            }
            if (!removeEmptiedFolder(folder.from, folder.source, nullptr)) {
                return false;
            }
        }
        return true;
    }

    // Removes the source of a file placed in the destination. A source that changed since its
    // copy stays, and its outdated copy goes.
    bool removeSource(const PendingRemoval& file) {
        makeParentWritable(file.from);
        struct stat expected = file.copied;
        const auto linked = m_linkChanges.find(inodeKey(expected));
        if (linked != m_linkChanges.end()) {
            expected.st_ctim = linked->second;  // another name of it went already
        }
        struct stat named {};
        if (S_ISLNK(expected.st_mode)) {
            if (!entryStatus(file.from, &named) || !unchanged(named, expected)) {
                return dropCopy(file);
            }
            return unlinkSource(file, named);
        }
        const FileHandle input(
            ::open(file.from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat now {};
        if (input.get() < 0 || ::fstat(input.get(), &now) != 0 || !unchanged(now, expected) ||
            !entryStatus(file.from, &named) || named.st_ino != now.st_ino) {
            return dropCopy(file);
        }
        const Lease lease = takeLease(input.get());
        if (lease == Lease::Held) {
            return fail(TransferOutcome::Problem::HeldOpen, file.from);
        }
        const bool removed = unlinkSource(file, now);
        if (removed && now.st_nlink > 1 && ::fstat(input.get(), &now) == 0) {
            m_linkChanges[inodeKey(now)] = now.st_ctim;
        }
        if (lease == Lease::Taken) {
            releaseLease(input.get());
        }
        return removed;
    }

    bool unlinkSource(const PendingRemoval& file, const struct stat& source) {
        if (systemCalls().unlink(file.from.c_str()) != 0) {
            return failed(file.from, errno);
        }
        m_steps.push_back({Step::Unlinked, file.from, file.to, source});
        return true;
    }

    bool dropCopy(const PendingRemoval& file) {
        systemCalls().unlink(file.to.c_str());
        return true;
    }

    // The source folders of the user's own that lack write permission get it while their
    // entries go, and their mode back afterwards.
    void makeParentWritable(const fs::path& path) {
        const fs::path parent = path.parent_path();
        if (m_writableChecked.insert(parent.native()).second) {
            const int mode = allowChangesIn(parent);
            if (mode >= 0) {
                m_sourceModes.push_back({parent, mode_t(mode)});
            }
        }
    }

    void restoreSourceModes() {
        for (const auto& [folder, mode] : m_sourceModes) {
            ::chmod(folder.c_str(), mode);
        }
        m_sourceModes.clear();
        m_writableChecked.clear();
    }

    // Puts back what the move changed, newest first: renamed entries go back, removed sources
    // are copied back from the destination, and then what the move placed in the destination
    // goes. When putting back fails, everything placed stays and *outcome lists it.
    void undo(const fs::path& sourceFolder) {
        bool whole = true;
        bool copiedBack = false;
        for (auto step = m_steps.rbegin(); whole && step != m_steps.rend(); ++step) {
            switch (step->kind) {
                case Step::Renamed:
                    whole = systemCalls().rename(step->to.c_str(), step->from.c_str()) == 0 ||
                            putFolderBack(step->to, step->from);
                    break;
                case Step::RemovedFolder:
                    whole = systemCalls().makeFolder(step->from.c_str(), S_IRWXU) == 0 ||
                            errno == EEXIST;
                    break;
                case Step::Unlinked: {
                    struct stat copy {};
                    whole = entryStatus(step->to, &copy) &&
                            copyLeaf(step->to, step->from, copy, nullptr) == Copied::Done;
                    copiedBack = true;
                    break;
                }
                case Step::MadeFolder:
                case Step::Placed:
                    break;
            }
        }
        if (whole && copiedBack) {
            const FileHandle folder(::open(sourceFolder.c_str(), O_RDONLY | O_DIRECTORY));
            whole = folder.get() >= 0 && systemCalls().flushFileSystem(folder.get()) == 0;
        }
        if (!whole) {
            m_outcome->putBack = false;
            m_outcome->arrived = filesBelow(m_destination);
            return;
        }
        for (const Step& step : m_steps) {
            if (step.kind == Step::RemovedFolder) {
                applyFolderAttributes(step.source, fs::path(), step.from);
            } else if (step.kind == Step::MadeFolder) {
                ::chmod(step.to.c_str(), S_IRWXU);
            }
        }
        for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) {
            if (step->kind == Step::Placed) {
                systemCalls().unlink(step->to.c_str());
            } else if (step->kind == Step::MadeFolder) {
                systemCalls().removeFolder(step->to.c_str());
            }
        }
        m_steps.clear();
    }

    bool putFolderBack(const fs::path& from, const fs::path& to) {
        WritableFolder writable(from);
        if (systemCalls().rename(from.c_str(), to.c_str()) != 0) {
            return false;
        }
        writable.movedTo(to);
        return true;
    }

    // The files below folder, as paths relative to it.
    static QStringList filesBelow(const fs::path& folder) {
        QStringList files;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_directory(ec) && it->path() != unfinishedMark(folder)) {
                files.append(pathText(it->path().lexically_relative(folder)));
            }
        }
        files.sort();
        return files;
    }

    // The names in a folder, sorted, so that a transfer always runs in the same order.
    static bool listNames(const fs::path& folder, std::vector<fs::path>* names) {
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) {
            errno = ec.value();
            return false;
        }
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            names->push_back(it->path().filename());
        }
        if (ec) {
            errno = ec.value();
            return false;
        }
        std::sort(names->begin(), names->end());
        return true;
    }

    // A new folder the transfer can fill; it gets the source's mode once it is filled.
    static bool makeFolder(const fs::path& to) {
        return systemCalls().makeFolder(to.c_str(), S_IRWXU) == 0;
    }

    // Ownership where the user may set it, extended attributes, mode and times of a folder.
    static void applyFolderAttributes(const struct stat& source, const fs::path& from,
                                      const fs::path& to) {
        if (::lchown(to.c_str(), source.st_uid, source.st_gid) != 0) {
            // Another owner's folder: it becomes the user's, as a copy does.
        }
        if (!from.empty()) {
            copyPathAttributes(from, to);
        }
        ::chmod(to.c_str(), source.st_mode & 07777);
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }

    // Copies a file or a link (as a link) over to; to is replaced only by a complete copy.
    // With copied (a move), the copy is placed only when the source did not change while it was
    // copied and no other program holds it open (Changed or HeldOpen otherwise, with to
    // untouched), and *copied tells what the source was like.
    Copied copyLeaf(const fs::path& from, const fs::path& to, const struct stat& source,
                    struct stat* copied) {
        const bool checkSource = copied != nullptr;
        if (copied) {
            *copied = source;
        }
        if (S_ISLNK(source.st_mode)) {
            return copyLink(from, to, source) ? Copied::Done : Copied::Failed;
        }
        m_error = EINVAL;
        if (!S_ISREG(source.st_mode)) {
            return Copied::Failed;  // a device, pipe or socket cannot be copied
        }
        FileHandle input(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat before {};
        if (input.get() < 0 || ::fstat(input.get(), &before) != 0 || !S_ISREG(before.st_mode)) {
            m_error = errno;
            return Copied::Failed;
        }
        if (copied) {
            *copied = before;
        }
        if (checkSource && heldOpenElsewhere(input.get())) {
            return Copied::HeldOpen;
        }
        fs::path temporary;
        int descriptor = -1;
        if (!makeTemporary(to, &temporary, [&](const char* name) {
                descriptor =
                    ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
                return descriptor < 0 ? -1 : 0;
            })) {
            m_error = errno;
            return Copied::Failed;
        }
        FileHandle output(descriptor);
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        const DataCopy data = copyData(input.get(), output.get(), before.st_size);
        bool written = data == DataCopy::Done;
        if (written) {
            if (::fchown(output.get(), before.st_uid, before.st_gid) != 0) {
                // Another owner's file: the copy becomes the user's, as "cp -a" makes it.
            }
            copyFileAttributes(input.get(), output.get());
            written = ::fchmod(output.get(), before.st_mode & 07777) == 0 &&
                      ::futimens(output.get(), times) == 0 && output.close();
        }
        m_error = errno;
        if (!written) {
            systemCalls().unlink(temporary.c_str());
            // A source that shrank while it was read changed; anything else is an error.
            return data == DataCopy::Short && changedSince(before, input.get(), from)
                       ? Copied::Changed
                       : Copied::Failed;
        }
        if (checkSource) {
            const Copied kept = changedSince(before, input.get(), from) ? Copied::Changed
                                : heldOpenElsewhere(input.get())        ? Copied::HeldOpen
                                                                        : Copied::Done;
            if (kept != Copied::Done) {
                systemCalls().unlink(temporary.c_str());
                return kept;
            }
        }
        if (systemCalls().rename(temporary.c_str(), to.c_str()) != 0) {
            m_error = errno;
            systemCalls().unlink(temporary.c_str());
            return Copied::Failed;
        }
        return Copied::Done;
    }

    // True when the file open as fd, or the name from, changed since before was taken.
    static bool changedSince(const struct stat& before, int fd, const fs::path& from) {
        struct stat now {};
        struct stat named {};
        return ::fstat(fd, &now) != 0 || !entryStatus(from, &named) ||
               named.st_ino != before.st_ino || !unchanged(now, before);
    }

    // Short: the source ended before size bytes were read.
    enum class DataCopy { Done, Short, Failed };

    // Copies the first size bytes of in to out (what grew meanwhile is a change, found
    // afterwards), leaving holes where in has them, in the kernel where it can, with a tick per
    // chunk.
    DataCopy copyData(int in, int out, off_t size) {
        off_t position = 0;
        while (position < size) {
            off_t data = ::lseek(in, position, SEEK_DATA);
            off_t hole = size;
            if (data < 0 && errno == ENXIO) {
                break;  // only a hole is left
            }
            if (data < 0) {
                data = position;  // holes are not known here: all of it is data
            } else {
                hole = std::min(size, std::max(data, ::lseek(in, data, SEEK_HOLE)));
                if (hole <= data) {
                    hole = size;
                }
            }
            if (data >= size) {
                break;
            }
            const DataCopy range = copyRange(in, out, data, hole - data);
            if (range != DataCopy::Done) {
                return range;
            }
            position = hole;
        }
        return ::ftruncate(out, size) == 0 ? DataCopy::Done : DataCopy::Failed;
    }

    DataCopy copyRange(int in, int out, off_t start, off_t length) {
        off_t inAt = start;
        off_t outAt = start;
        for (off_t left = length; left > 0;) {
            const size_t chunk = size_t(std::min<off_t>(left, off_t(kCopyChunk)));
            const ssize_t done = systemCalls().copyRange(in, &inAt, out, &outAt, chunk);
            if (done < 0 && errno == EINTR) {
                continue;
            }
            if (done < 0) {
                return DataCopy::Failed;
            }
            if (done == 0) {
                return DataCopy::Short;
            }
            left -= done;
            tick();
        }
        return DataCopy::Done;
    }

    // Made under a free temporary name, with the link's own times and owner, then renamed over
    // whatever to was.
    bool copyLink(const fs::path& from, const fs::path& to, const struct stat& source) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(from, ec);
        fs::path temporary;
        if (ec || !makeTemporary(to, &temporary, [&](const char* name) {
                return ::symlink(target.c_str(), name);
            })) {
            m_error = ec ? ec.value() : errno;
            return false;
        }
        if (::lchown(temporary.c_str(), source.st_uid, source.st_gid) != 0) {
            // Another owner's link: it becomes the user's.
        }
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ::utimensat(AT_FDCWD, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
        if (systemCalls().rename(temporary.c_str(), to.c_str()) != 0) {
            m_error = errno;
            systemCalls().unlink(temporary.c_str());
            return false;
        }
        return true;
    }

    const FileOperationProgress& m_progress;
    TransferOutcome* m_outcome;
    fs::path m_destination;
    bool m_cross = false;
    bool m_renameCrossed = false;
    int m_error = 0;
    qint64 m_needed = 0;
    std::set<InodeKey> m_counted;
    std::map<InodeKey, fs::path> m_linked;
    std::map<InodeKey, struct timespec> m_linkChanges;
    std::vector<Step> m_steps;
    std::vector<PendingRemoval> m_pending;
    std::vector<CopiedFolder> m_folders;
    std::set<std::string> m_writableChecked;
    std::vector<std::pair<fs::path, mode_t>> m_sourceModes;
};

// Removes the part copies a killed transfer left below folder.
void removeTransferTemporaries(const fs::path& folder) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (isTransferTemporary(it->path()) && !it->is_directory(ec)) {
            systemCalls().unlink(it->path().c_str());
        }
    }
}

// True when inner is folder itself or lies inside it.
bool isSameOrInside(const fs::path& inner, const fs::path& folder) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec);
    if (ec) {
        return false;
    }
    const fs::path b = fs::weakly_canonical(folder, ec);
    if (ec) {
        return false;
    }
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) {
            continue;  // a trailing separator
        }
        if (ai == a.end() || *ai != *bi) {
            return false;
        }
    }
    return true;
}

}  // namespace

int allowChangesIn(const fs::path& folder) {
    struct stat st {};
    if (::geteuid() == 0 || !entryStatus(folder, &st) || !isRealFolder(st) ||
        (st.st_mode & S_IWUSR) || st.st_uid != ::geteuid()) {
        return -1;
    }
    const mode_t mode = st.st_mode & 07777;
    return ::chmod(folder.c_str(), mode | S_IWUSR) == 0 ? int(mode) : -1;
}

int shellFileOperation(const FileOperation& operation, const FileOperationProgress& progress,
                       TransferOutcome* outcome) {
    if (operation.wFunc != FileOperation::Move && operation.wFunc != FileOperation::Copy) {
        return kBadRequest;
    }
    QString from = beforeNul(operation.pFrom);
    const QString to = withoutTrailingSeparators(beforeNul(operation.pTo));
    // "folder/*.*" (or "folder/*") stands for everything inside the folder; anything else for
    // that one file or folder.
    bool contents = false;
    for (const QString& wildcard : {QStringLiteral("/*.*"), QStringLiteral("/*")}) {
        if (from.endsWith(wildcard)) {
            from.chop(wildcard.size() - 1);
            contents = true;
            break;
        }
    }
    from = withoutTrailingSeparators(from);
    if (from.isEmpty() || to.isEmpty()) {
        return kBadRequest;
    }
    const fs::path source = fsPath(from);
    const fs::path destination = fsPath(to);

    std::error_code ec;
    const fs::file_status sourceStatus = fs::status(source, ec);
    if (ec || !fs::exists(sourceStatus) || (contents && !fs::is_directory(sourceStatus))) {
        return kMissingSource;
    }
    if (fs::is_directory(sourceStatus) && isSameOrInside(destination, source)) {
        return kBadRequest;
    }
    const fs::file_status destinationStatus = fs::status(destination, ec);
    if (!fs::exists(destinationStatus)) {
        if (!makeFolderWithParents(destination.c_str(), 0777)) {
            return kBadDestination;
        }
    } else if (!fs::is_directory(destinationStatus)) {
        return kBadDestination;
    }

    TransferOutcome ignored;
    TransferOutcome* const result = outcome ? outcome : &ignored;
    Transfer transfer(progress, result);
    if (operation.wFunc == FileOperation::Copy) {
        const bool copied = contents ? transfer.copyChildren(source, destination)
                                     : transfer.copyEntry(source, destination / source.filename());
        return copied ? 0 : kTransferFailed;
    }
    Transfer::Pairs pairs;
    if (contents) {
        std::vector<fs::path> names;
        for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
            names.push_back(it->path().filename());
        }
        std::sort(names.begin(), names.end());
        for (const fs::path& name : names) {
            pairs.emplace_back(source / name, destination / name);
        }
    } else {
        pairs.emplace_back(source, destination / source.filename());
    }
    // The mark tells the next move of this folder that it may finish this one.
    const fs::path mark = unfinishedMark(destination);
    const std::string sourceBytes = source.native();
    if (contents && markedSource(destination) != sourceBytes) {
        const FileHandle file(
            ::open(mark.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0 || ::write(file.get(), sourceBytes.data(), sourceBytes.size()) !=
                                  ssize_t(sourceBytes.size())) {
            return kBadDestination;
        }
    }
    if (contents) {
        removeTransferTemporaries(destination);
    }
    WritableFolder writable(contents ? source : source.parent_path());
    const bool moved = transfer.move(pairs, contents ? source : source.parent_path(), destination);
    if (contents && (moved || result->putBack)) {
        systemCalls().unlink(mark.c_str());
    }
    return moved ? 0 : kTransferFailed;
}

bool isUnfinishedMoveOf(const QString& destination, const QString& source) {
    return markedSource(fsPath(destination)) == fsPath(source).native();
}

}  // namespace qm
