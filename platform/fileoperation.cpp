#include "platform/fileoperation.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/pathbytes.h"

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
// How much is copied before the copies are flushed to the disk and their sources removed.
constexpr off_t kSettleBytes = off_t(256) << 20;
constexpr size_t kSettleFiles = 2000;

FileSystemFault& installedFault() {
    static FileSystemFault fault;
    return fault;
}

bool refuses(const fs::path& path) {
    return fileSystemRefuses(pathText(path));
}

bool breaksCopy(const fs::path& path) {
    const FileSystemFault& fault = installedFault();
    return fault.breaksCopy && fault.breaksCopy(pathText(path));
}

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

// Closes a file descriptor when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return m_fd; }
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

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

// True when another program holds the file open for writing, found by trying to take a write
// lease, which the system refuses while anyone else has the file open. Where leases are not
// available (another owner, a file system without them) the answer is false and the size and
// time check alone guards the move.
bool heldOpenElsewhere(int fd) {
    // A lease break signal must not end the program: SIGURG is ignored unless handled.
    ::fcntl(fd, F_SETSIG, SIGURG);
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN || errno == EBUSY;
}

// Moves or copies one tree of entries; stops at the first failure.
class Transfer {
public:
    Transfer(bool move, const FileOperationProgress& progress)
        : m_move(move), m_progress(progress) {}

    bool entry(const fs::path& from, const fs::path& to) {
        return m_move ? moveEntry(from, to) : copyEntry(from, to);
    }

    bool children(const fs::path& from, const fs::path& to) {
        WritableFolder writable(from);
        if (!m_move) {
            return copyChildren(from, to);
        }
        const bool moved = moveChildren(from, to);
        return settle() && moved;
    }

private:
    // A file copied into place whose source is removed once the copies are on the disk.
    struct PendingRemoval {
        fs::path from;
        fs::path to;
        struct stat copied;
    };

    // Changed: the source changed while it was copied; HeldOpen: another program holds it open.
    enum class Copied { Done, Changed, HeldOpen, Failed };

    void tick() {
        if (m_progress) {
            m_progress();
        }
    }

    // Renames from to to; false with *crossDevice set when only a copy can do it.
    bool tryRename(const fs::path& from, const fs::path& to, bool* crossDevice) {
        *crossDevice = false;
        if (refuses(from) || refuses(to)) {
            return false;
        }
        if (installedFault().crossDevice) {
            *crossDevice = true;
            return false;
        }
        if (::rename(from.c_str(), to.c_str()) == 0) {
            return true;
        }
        *crossDevice = errno == EXDEV;
        return false;
    }

    // Renames a folder into another parent; a read-only folder needs the owner's write
    // permission for that (its ".." entry changes), so it gets it for the rename.
    bool tryRenameFolder(const fs::path& from, const fs::path& to, bool* crossDevice) {
        if (tryRename(from, to, crossDevice) || *crossDevice) {
            return !*crossDevice;
        }
        if (errno != EACCES && errno != EPERM) {
            return false;
        }
        WritableFolder writable(from);
        if (tryRename(from, to, crossDevice)) {
            writable.movedTo(to);
            return true;
        }
        return false;
    }

    bool moveEntry(const fs::path& from, const fs::path& to) {
        tick();
        struct stat source {};
        if (!entryStatus(from, &source)) {
            return false;
        }
        struct stat target {};
        const bool targetExists = entryStatus(to, &target);
        bool crossDevice = false;
        if (isRealFolder(source)) {
            if (targetExists && !isRealFolder(target)) {
                return false;
            }
            bool made = false;
            if (!targetExists) {
                if (tryRenameFolder(from, to, &crossDevice)) {
                    return true;
                }
                if (!crossDevice || !makeFolder(to)) {
                    return false;
                }
                made = true;
            }
            // Merge: move every entry, then remove the folder when nothing is left in it.
            WritableFolder writable(from);
            const bool moved = moveChildren(from, to);
            const bool settled = settle();
            if (made) {
                applyFolderAttributes(source, to);
            }
            if (!moved || !settled) {
                return false;
            }
            if (refuses(from)) {
                return false;
            }
            if (::rmdir(from.c_str()) == 0) {
                writable.removed();
                return true;
            }
            // Something appeared in it during the move: it stays where it is.
            return errno == ENOTEMPTY || errno == EEXIST;
        }
        if (targetExists && isRealFolder(target)) {
            return false;
        }
        if (tryRename(from, to, &crossDevice)) {
            return true;
        }
        if (!crossDevice) {
            return false;
        }
        // Across file systems the source goes only once a complete copy of it is in place.
        for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
            struct stat copied {};
            switch (copyLeaf(from, to, source, &copied)) {
                case Copied::Failed:
                    return false;
                case Copied::HeldOpen:
                    return true;  // it stays in the source
                case Copied::Changed:
                    continue;
                case Copied::Done:
                    m_pending.push_back({from, to, copied});
                    m_pendingBytes += copied.st_size;
                    return (m_pendingBytes < kSettleBytes && m_pending.size() < kSettleFiles) ||
                           settle();
            }
        }
        return true;  // it kept changing: it stays in the source
    }

    // Flushes the copies made so far to the disk with one sync of the destination's file system
    // (one flush per file costs several times the copy itself), then removes each source that is
    // still as it was copied and not held open. A source that changed after its copy stays, and
    // its now outdated copy goes.
    bool settle() {
        if (m_pending.empty()) {
            return true;
        }
        std::vector<PendingRemoval> pending;
        pending.swap(m_pending);
        m_pendingBytes = 0;
        const FileHandle folder(
            ::open(pending.front().to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() < 0 || ::syncfs(folder.get()) != 0) {
            return false;  // the copies may not be on the disk: every source stays
        }
        bool removed = true;
        for (const PendingRemoval& file : pending) {
            if (sameAsCopied(file)) {
                removed = removeFile(file.from) && removed;
            } else {
                ::unlink(file.to.c_str());
            }
        }
        return removed;
    }

    static bool sameAsCopied(const PendingRemoval& file) {
        struct stat now {};
        if (!entryStatus(file.from, &now) || now.st_ino != file.copied.st_ino ||
            now.st_dev != file.copied.st_dev || now.st_size != file.copied.st_size ||
            !sameTimes(now.st_mtim, file.copied.st_mtim)) {
            return false;
        }
        if (!S_ISREG(now.st_mode)) {
            return true;
        }
        const FileHandle input(::open(file.from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        return input.get() >= 0 && !heldOpenElsewhere(input.get());
    }

    bool moveChildren(const fs::path& from, const fs::path& to) {
        std::vector<fs::path> names;
        if (!listNames(from, &names)) {
            return false;
        }
        return std::all_of(names.begin(), names.end(),
                           [&](const fs::path& name) { return moveEntry(from / name, to / name); });
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
                applyFolderAttributes(source, to);
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

    // The names in a folder, sorted, so that a transfer always runs in the same order.
    static bool listNames(const fs::path& folder, std::vector<fs::path>* names) {
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) {
            return false;
        }
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            names->push_back(it->path().filename());
        }
        if (ec) {
            return false;
        }
        std::sort(names->begin(), names->end());
        return true;
    }

    // A new folder the transfer can fill; it gets the source's mode once it is filled.
    static bool makeFolder(const fs::path& to) {
        return !refuses(to) && ::mkdir(to.c_str(), S_IRWXU) == 0;
    }

    static void applyFolderAttributes(const struct stat& source, const fs::path& to) {
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
        ::chmod(to.c_str(), source.st_mode & 07777);
    }

    static bool removeFile(const fs::path& path) {
        return !refuses(path) && ::unlink(path.c_str()) == 0;
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
        if (refuses(from) || refuses(to)) {
            return Copied::Failed;
        }
        if (S_ISLNK(source.st_mode)) {
            return copyLink(from, to) ? Copied::Done : Copied::Failed;
        }
        if (!S_ISREG(source.st_mode)) {
            return Copied::Failed;  // a device, pipe or socket cannot be copied
        }
        FileHandle input(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        struct stat before {};
        if (input.get() < 0 || ::fstat(input.get(), &before) != 0 || !S_ISREG(before.st_mode)) {
            return Copied::Failed;
        }
        if (copied) {
            *copied = before;
        }
        if (checkSource && heldOpenElsewhere(input.get())) {
            return Copied::HeldOpen;
        }
        std::string name = (to.parent_path() / ".qm-transfer-XXXXXX").native();
        FileHandle output(::mkostemp(name.data(), O_CLOEXEC));
        if (output.get() < 0) {
            return Copied::Failed;
        }
        const fs::path temporary(name);
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        const bool written = copyData(input.get(), output.get(), from, before.st_size) &&
                             ::fchmod(output.get(), before.st_mode & 07777) == 0 &&
                             ::futimens(output.get(), times) == 0 && output.close();
        if (!written) {
            ::unlink(temporary.c_str());
            return Copied::Failed;
        }
        if (checkSource) {
            const Copied kept = changedSince(before, input.get(), from) ? Copied::Changed
                                : heldOpenElsewhere(input.get())        ? Copied::HeldOpen
                                                                        : Copied::Done;
            if (kept != Copied::Done) {
                ::unlink(temporary.c_str());
                return kept;
            }
        }
        if (::rename(temporary.c_str(), to.c_str()) != 0) {
            ::unlink(temporary.c_str());
            return Copied::Failed;
        }
        return Copied::Done;
    }

    // True when the file open as fd, or the name from, changed since before was taken.
    static bool changedSince(const struct stat& before, int fd, const fs::path& from) {
        struct stat now {};
        struct stat named {};
        return ::fstat(fd, &now) != 0 || !entryStatus(from, &named) ||
               named.st_ino != before.st_ino || named.st_dev != before.st_dev ||
               now.st_size != before.st_size || !sameTimes(now.st_mtim, before.st_mtim);
    }

    // Copies the first size bytes of in to out (what grew meanwhile is a change, found
    // afterwards), in the kernel where it can, with a tick per chunk.
    bool copyData(int in, int out, const fs::path& from, off_t size) {
        const bool breaks = breaksCopy(from);
        bool kernelCopy = true;
        std::vector<char> buffer;
        for (off_t left = size; left > 0;) {
            const size_t chunk = size_t(std::min<off_t>(left, off_t(kCopyChunk)));
            ssize_t done = -1;
            if (kernelCopy) {
                done = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
                if (done < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                 errno == EOPNOTSUPP || errno == EPERM)) {
                    kernelCopy = false;
                    continue;
                }
            } else {
                buffer.resize(std::min<size_t>(chunk, 1 << 20));
                done = ::read(in, buffer.data(), buffer.size());
                if (done > 0 && !writeAll(out, buffer.data(), size_t(done))) {
                    return false;
                }
            }
            if (done < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            if (done == 0) {
                return true;  // it shrank: found as a change afterwards
            }
            if (breaks) {
                return false;
            }
            left -= done;
            tick();
        }
        return true;
    }

    static bool writeAll(int fd, const char* data, size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(fd, data, size);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return false;
            }
            data += written;
            size -= size_t(written);
        }
        return true;
    }

    static bool copyLink(const fs::path& from, const fs::path& to) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(from, ec);
        if (ec) {
            return false;
        }
        // Made under a temporary name, then renamed over whatever to was.
        fs::path temporary = to;
        temporary += ".qm-link";
        fs::remove(temporary, ec);
        fs::create_symlink(target, temporary, ec);
        if (ec) {
            return false;
        }
        fs::rename(temporary, to, ec);
        if (ec) {
            fs::remove(temporary, ec);
            return false;
        }
        return true;
    }

    bool m_move;
    const FileOperationProgress& m_progress;
    std::vector<PendingRemoval> m_pending;
    off_t m_pendingBytes = 0;
};

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

int shellFileOperation(const FileOperation& operation, const FileOperationProgress& progress) {
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
        if (refuses(destination) || !fs::create_directories(destination, ec) || ec) {
            return kBadDestination;
        }
    } else if (!fs::is_directory(destinationStatus)) {
        return kBadDestination;
    }

    Transfer transfer(operation.wFunc == FileOperation::Move, progress);
    if (!contents) {
        return transfer.entry(source, destination / source.filename()) ? 0 : kTransferFailed;
    }
    return transfer.children(source, destination) ? 0 : kTransferFailed;
}

void setFileSystemFault(FileSystemFault fault) {
    installedFault() = std::move(fault);
}

const FileSystemFault& fileSystemFault() {
    return installedFault();
}

bool fileSystemRefuses(const QString& path) {
    const FileSystemFault& fault = installedFault();
    return fault.refuses && fault.refuses(path);
}

}  // namespace qm
