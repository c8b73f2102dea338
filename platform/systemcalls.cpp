#include "platform/systemcalls.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

SystemCalls* installed = nullptr;

bool writeAll(int fd, const char* data, size_t size, off_t at) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        at += written;
        size -= size_t(written);
    }
    return true;
}

// Copies through a buffer, for file systems the kernel cannot copy between.
ssize_t copyThroughBuffer(int in, off_t* inAt, int out, off_t* outAt, size_t length) {
    thread_local std::vector<char> buffer(size_t(1) << 20);
    const ssize_t done = ::pread(in, buffer.data(), std::min(length, buffer.size()), *inAt);
    if (done > 0) {
        if (!writeAll(out, buffer.data(), size_t(done), *outAt)) {
            return -1;
        }
        *inAt += done;
        *outAt += done;
    }
    return done;
}

}  // namespace

int SystemCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int SystemCalls::makeFolder(const char* path, mode_t mode) {
    return ::mkdir(path, mode);
}

int SystemCalls::removeFolder(const char* path) {
    return ::rmdir(path);
}

int SystemCalls::unlink(const char* path) {
    return ::unlink(path);
}

int SystemCalls::unlinkAt(int folder, const char* name, int flags) {
    return ::unlinkat(folder, name, flags);
}

int SystemCalls::flushFileSystem(int fd) {
    return ::syncfs(fd);
}

ssize_t SystemCalls::copyRange(int in, off_t* inAt, int out, off_t* outAt, size_t length) {
    // The kernel copies within one file system without the data passing through here (and
    // shares the blocks where the file system can); between others it refuses, and is asked
    // again only at the start of the next file.
    thread_local bool kernelRefused = false;
    if (!kernelRefused || *inAt == 0) {
        const ssize_t done = ::copy_file_range(in, inAt, out, outAt, length, 0);
        if (done >= 0 || (errno != EXDEV && errno != EINVAL && errno != ENOSYS &&
                          errno != EOPNOTSUPP && errno != EPERM)) {
            kernelRefused = false;
            return done;
        }
        kernelRefused = true;
    }
    return copyThroughBuffer(in, inAt, out, outAt, length);
}

bool SystemCalls::sameFileSystem(dev_t first, dev_t second) {
    return first == second;
}

SystemCalls& SystemCalls::instance() {
    static SystemCalls real;
    return installed ? *installed : real;
}

void SystemCalls::setInstance(SystemCalls* calls) {
    installed = calls;
}

bool makeFolderWithParents(const char* path, mode_t mode) {
    const auto isFolder = [path] {
        struct stat st {};
        return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
    };
    if (systemCalls().makeFolder(path, mode) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return isFolder();
    }
    if (errno != ENOENT) {
        return false;
    }
    std::string parent(path);
    while (parent.size() > 1 && parent.back() == '/') {
        parent.pop_back();
    }
    const size_t slash = parent.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return false;
    }
    parent.resize(slash);
    if (!makeFolderWithParents(parent.c_str(), mode)) {
        return false;
    }
    return systemCalls().makeFolder(path, mode) == 0 || (errno == EEXIST && isFolder());
}

}  // namespace qm
