#include "platform/securewrite.h"

#include "platform/filehandle.h"

#include <QList>

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

namespace qm {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

bool runInFolder(const QByteArray& folder, const std::function<void()>& work) {
    bool entered = false;
    std::thread worker([&] {
        // The thread's own current folder: unsharing the file-system context leaves the other
        // threads where they are.
        const FileHandle fd(::open(folder.constData(), kFolderFlags));
        if (fd.get() < 0 || ::unshare(CLONE_FS) != 0 || ::fchdir(fd.get()) != 0) {
            return;
        }
        entered = true;
        work();
    });
    worker.join();
    return entered;
}

bool isPlainFileBelow(const QByteArray& base, const QByteArray& name) {
    if (name.isEmpty() || name.startsWith('/')) {
        return false;
    }
    const QList<QByteArray> parts = name.split('/');
    for (const QByteArray& part : parts) {
        if (part.isEmpty() || part == "." || part == "..") {
            return false;
        }
    }
    FileHandle folder(::open(base.constData(), kFolderFlags));
    for (qsizetype i = 0; folder.get() >= 0 && i + 1 < parts.size(); ++i) {
        folder.reset(::openat(folder.get(), parts.at(i).constData(), kFolderFlags));
    }
    struct stat status {};
    return folder.get() >= 0 &&
           ::fstatat(folder.get(), parts.last().constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(status.st_mode);
}

qint64 freeBytesAt(const QByteArray& path) {
    struct statvfs status {};
    if (::statvfs(path.constData(), &status) != 0) {
        return -1;
    }
    return static_cast<qint64>(status.f_bavail) * static_cast<qint64>(status.f_frsize);
}

bool leadsInside(const QByteArray& folder, const QByteArray& name) {
    const std::string root = folder.toStdString() + '/';
    std::error_code error;
    const std::string resolved =
        std::filesystem::weakly_canonical(std::filesystem::path(root + name.toStdString()), error)
            .string() +
        '/';
    return !error && resolved.compare(0, root.size(), root) == 0;
}

}  // namespace qm
