#include "platform/filesystem.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gio/gio.h>

#include "platform/foldertree.h"
#include "platform/launcher.h"
#include "platform/pathbytes.h"
#include "platform/systemcalls.h"

namespace qm {
namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

void setError(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
}

// The system's reason, worded only when a caller wants it (a look for a file that is usually
// missing costs an open, not a translation).
void setSystemError(QString* error, int code) {
    if (error) {
        *error = errorText(code);
    }
}

FileKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::File;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    return FileKind::Other;
}

FileStatus statusAt(int folder, const char* name) {
    FileStatus result;
    struct stat entry {};
    if (::fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        return result;
    }
    result.isLink = S_ISLNK(entry.st_mode);
    struct stat target = entry;
    if (result.isLink && ::fstatat(folder, name, &target, 0) != 0) {
        return result;  // a link to nothing
    }
    result.kind = kindOf(target.st_mode);
    result.size = target.st_size;
    result.modifiedNs = qint64(target.st_mtim.tv_sec) * 1000000000 + target.st_mtim.tv_nsec;
    result.changedNs = qint64(target.st_ctim.tv_sec) * 1000000000 + target.st_ctim.tv_nsec;
    result.device = target.st_dev;
    result.inode = target.st_ino;
    result.mode = target.st_mode & 07777;
    result.listable =
        result.kind == FileKind::Folder && ::faccessat(folder, name, R_OK | X_OK, 0) == 0;
    return result;
}

// Calls each(folder's fd, entry) for every entry of a folder but "." and ".."; false when the
// folder cannot be listed to its end.
template <typename Each>
bool forEachEntry(const FsPath& folder, Each each) {
    const int fd =
        folder.isEmpty() ? -1 : ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            each(::dirfd(dir), *entry);
        }
        errno = 0;  // an entry that cannot be read is no failure of the listing
    }
    const bool failed = errno != 0;
    ::closedir(dir);
    return !failed;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += n;
    }
    return true;
}

class RealFileSystem final : public FileSystem {
public:
    FileStatus status(const FsPath& path) override {
        if (path.isEmpty()) {
            return {};
        }
        return statusAt(AT_FDCWD, path.c_str());
    }

    std::optional<QList<FolderEntry>> list(const FsPath& folder) override {
        QList<FolderEntry> entries;
        const bool listed = forEachEntry(folder, [&entries](int dirFd, const dirent& entry) {
            entries.append(
                {textFromNameBytes(QByteArray(entry.d_name)), statusAt(dirFd, entry.d_name)});
        });
        return listed ? std::optional(entries) : std::nullopt;
    }

    QStringList namesHolding(const FsPath& folder, const QStringList& names,
                             const QString& entry) override {
        QStringList holding;
        const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0) {
            return holding;
        }
        const QByteArray tail = '/' + nameBytesFromText(entry);
        for (const QString& name : names) {
            const QByteArray relative = nameBytesFromText(name) + tail;
            if (::faccessat(dirFd, relative.constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) {
                holding.append(name);
            }
        }
        ::close(dirFd);
        return holding;
    }

    std::optional<QStringList> listFolderNames(const FsPath& folder) override {
        QStringList names;
        const bool listed = forEachEntry(folder, [&names](int dirFd, const dirent& entry) {
            // The entry's type comes with it on most file systems; links and file systems that
            // leave it unknown are asked.
            if (entry.d_type == DT_DIR || ((entry.d_type == DT_LNK || entry.d_type == DT_UNKNOWN) &&
                                           statusAt(dirFd, entry.d_name).isFolder())) {
                names.append(textFromNameBytes(QByteArray(entry.d_name)));
            }
        });
        return listed ? std::optional(names) : std::nullopt;
    }

    bool readFile(const FsPath& path, QByteArray* bytes, QString* error) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (path.isEmpty() || fd < 0) {
            setSystemError(error, path.isEmpty() ? ENOENT : errno);
            return false;
        }
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                setSystemError(error, errno);
                ::close(fd);
                return false;
            }
            if (n == 0) {
                break;
            }
            data.append(buffer, n);
        }
        ::close(fd);
        *bytes = data;
        return true;
    }

    bool writeFile(const FsPath& path, const QByteArray& bytes, QString* error,
                   Durability durability, Existing existing) override {
        if (path.isEmpty() || path.fileName().isEmpty()) {
            setSystemError(error, EINVAL);
            return false;
        }
        // A unique temporary name beside the file, created exclusively, then renamed over it.
        QByteArray temporary = path.bytes() + ".qm-XXXXXX";
        const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0) {
            setSystemError(error, errno);
            return false;
        }
        // The mode a new file would get, or the one the file has.
        struct stat old {};
        mode_t mode = 0666;
        if (::stat(path.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode &= ~mask;
        }
        const bool written = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 &&
                             (durability == Durability::Unsynced || ::fsync(fd) == 0);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            setSystemError(error, written ? errno : writeError);
            ::unlink(temporary.constData());
            return false;
        }
        if (!putInPlace(temporary.constData(), path.c_str(), existing)) {
            setSystemError(error, errno);
            ::unlink(temporary.constData());
            return false;
        }
        return true;
    }

    // Gives the written temporary file its name; with Existing::Keep only while no file has it.
    static bool putInPlace(const char* temporary, const char* path, Existing existing) {
        if (existing == Existing::Replace) {
            return ::rename(temporary, path) == 0;
        }
        if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, path, RENAME_NOREPLACE) == 0) {
            return true;
        }
        // A file system without the exclusive rename: a second name never replaces a file.
        if ((errno != EINVAL && errno != ENOSYS) || ::link(temporary, path) != 0) {
            return false;
        }
        ::unlink(temporary);
        return true;
    }

    bool makeFolder(const FsPath& path, bool withParents) override {
        if (path.isEmpty()) {
            return false;
        }
        if (withParents) {
            return makeFolderWithParents(path.c_str(), 0777);
        }
        return systemCalls().makeFolder(path.c_str(), 0777) == 0 ||
               (errno == EEXIST && status(path).isFolder());
    }

    bool remove(const FsPath& path) override {
        if (path.isEmpty()) {
            return false;
        }
        if (systemCalls().unlink(path.c_str()) == 0) {
            return true;
        }
        return (errno == EISDIR || errno == EPERM) && systemCalls().removeFolder(path.c_str()) == 0;
    }

    bool removeTree(const FsPath& path) override { return deleteFolderTree(path.text()); }

    int transfer(const FileOperation& operation, const FileOperationProgress& progress,
                 TransferOutcome* outcome) override {
        return shellFileOperation(operation, progress, outcome);
    }

    // Through GIO, which keeps the freedesktop trash: the name's bytes as they are, the trash of
    // the file system the path is on, and the information the file manager restores it from.
    bool trash(const FsPath& path, QString* error) override {
        GFile* file = g_file_new_for_path(path.c_str());
        GError* failure = nullptr;
        const bool trashed = g_file_trash(file, nullptr, &failure);
        g_object_unref(file);
        if (!trashed) {
            // GIO keeps no trash on file systems in memory and other internal mounts (a tmpfs,
            // /dev/shm): nothing there would outlive the next start anyway.
            setError(
                error,
                !failure || g_error_matches(failure, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED)
                    ? QCoreApplication::translate("qm::FileSystem",
                                                  "このフォルダのあるファイルシステムにはごみ箱が"
                                                  "ありません。")
                    : QString::fromUtf8(failure->message));
        }
        if (failure) {
            g_error_free(failure);
        }
        return trashed;
    }

    bool open(const FsPath& folder) override {
        return Launcher::instance().openFolder(folder.text());
    }

    bool launch(const FsPath& program, const QStringList& arguments, const FsPath& workingDirectory,
                QString* error) override {
        return Launcher::instance().start(program.text(), arguments, workingDirectory.text(),
                                          error);
    }
};

RealFileSystem& realFileSystem() {
    static RealFileSystem fileSystem;
    return fileSystem;
}

FileSystem* g_fileSystem = nullptr;

}  // namespace

FoundName matchNameNoCase(const QStringList& names, const QString& name) {
    FoundName found;
    if (name.isEmpty()) {
        return found;
    }
    const QString folded = name.toCaseFolded();
    bool exact = false;
    for (const QString& candidate : names) {
        if (candidate.toCaseFolded() == folded) {
            found.matches.append(candidate);
            exact = exact || candidate == name;
        }
    }
    if (exact) {
        found.outcome = FoundName::Outcome::One;
        found.name = name;
    } else if (found.matches.size() == 1) {
        found.outcome = FoundName::Outcome::One;
        found.name = found.matches.first();
    } else if (found.matches.size() > 1) {
        found.outcome = FoundName::Outcome::Ambiguous;
    }
    return found;
}

bool admits(EntryFilter filter, const FileStatus& status) {
    switch (filter) {
        case EntryFilter::Files:
            return status.isFile();
        case EntryFilter::Folders:
            return status.isFolder();
        case EntryFilter::Any:
            break;
    }
    return status.exists();
}

FoundName FileSystem::find(const FsPath& folder, const QString& name, EntryFilter filter) {
    if (name.isEmpty() || name.contains(u'/')) {
        return {};
    }
    QStringList names;
    const auto entries = list(folder);
    for (const FolderEntry& entry : entries.value_or(QList<FolderEntry>())) {
        if (admits(filter, entry.status)) {
            names.append(entry.name);
        }
    }
    // A folder that may be entered but not listed still has its exact spelling.
    if (!entries && admits(filter, status(folder.child(name)))) {
        names.append(name);
    }
    return matchNameNoCase(names, name);
}

QStringList FileSystem::namesHolding(const FsPath& folder, const QStringList& names,
                                     const QString& entry) {
    QStringList holding;
    for (const QString& name : names) {
        if (status(folder.child(name).child(entry)).exists()) {
            holding.append(name);
        }
    }
    return holding;
}

std::optional<QStringList> FileSystem::listFolderNames(const FsPath& folder) {
    const std::optional<QList<FolderEntry>> entries = list(folder);
    if (!entries) {
        return std::nullopt;
    }
    QStringList names;
    for (const FolderEntry& entry : *entries) {
        if (entry.status.isFolder()) {
            names.append(entry.name);
        }
    }
    return names;
}

FileSystem& FileSystem::instance() {
    return g_fileSystem ? *g_fileSystem : realFileSystem();
}

void FileSystem::setInstance(FileSystem* fileSystem) {
    g_fileSystem = fileSystem;
}

}  // namespace qm
