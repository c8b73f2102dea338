#include "platform/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fspath.h"

namespace qm {

bool openRegularFile(QFile& file, const QString& path) {
    // Not blocking on open: a FIFO would otherwise wait for a writer.
    const int fd = ::open(FsPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

namespace {

// The execute bits that go with the read bits of mode.
mode_t withExecuteBits(mode_t mode) {
    return mode | ((mode & S_IRUSR) ? S_IXUSR : 0) | ((mode & S_IRGRP) ? S_IXGRP : 0) |
           ((mode & S_IROTH) ? S_IXOTH : 0);
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace

bool copyRegularFile(const QString& from, const QString& to, bool withExecute) {
    QFile source;
    if (!openRegularFile(source, from)) {
        return false;
    }
    struct stat info {};
    if (::fstat(source.handle(), &info) != 0) {
        return false;
    }
    const FsPath target(to);
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const mode_t mode = info.st_mode & 07777;
    bool copied = true;
    char buffer[65536];
    for (;;) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n < 0) {
            copied = false;
            break;
        }
        if (n == 0) {
            break;
        }
        if (!writeAll(fd, buffer, n)) {
            copied = false;
            break;
        }
    }
    copied = copied && ::fchmod(fd, withExecute ? withExecuteBits(mode) : mode) == 0;
    copied = ::close(fd) == 0 && copied;
    if (!copied) {
        ::unlink(target.c_str());
    }
    return copied;
}

}  // namespace qm
