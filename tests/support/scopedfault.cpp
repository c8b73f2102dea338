#include "support/scopedfault.h"

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/pathbytes.h"

namespace qm::test {
namespace {

QString text(const char* path) {
    return pathText(std::filesystem::path(path));
}

// The path of what fd is open on.
QString pathOf(int fd) {
    std::error_code ec;
    return pathText(std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ec));
}

}  // namespace

bool FaultySystemCalls::refused(const QString& path) {
    if (m_fault.refuses && m_fault.refuses(path)) {
        errno = EPERM;
        return true;
    }
    return false;
}

int FaultySystemCalls::rename(const char* from, const char* to) {
    return refused(text(from)) || refused(text(to)) ? -1 : SystemCalls::rename(from, to);
}

int FaultySystemCalls::makeFolder(const char* path, mode_t mode) {
    return refused(text(path)) ? -1 : SystemCalls::makeFolder(path, mode);
}

int FaultySystemCalls::removeFolder(const char* path) {
    return refused(text(path)) ? -1 : SystemCalls::removeFolder(path);
}

int FaultySystemCalls::unlink(const char* path) {
    return refused(text(path)) ? -1 : SystemCalls::unlink(path);
}

int FaultySystemCalls::unlinkAt(int folder, const char* name, int flags) {
    if (!m_removing) {
        m_removing = true;
        if (m_fault.beforeRemoving) {
            m_fault.beforeRemoving();
        }
    }
    return refused(pathOf(folder) + u'/' + text(name)) ? -1
                                                       : SystemCalls::unlinkAt(folder, name, flags);
}

int FaultySystemCalls::flushFileSystem(int fd) {
    if (m_fault.failsFlush) {
        errno = EIO;
        return -1;
    }
    return SystemCalls::flushFileSystem(fd);
}

ssize_t FaultySystemCalls::copyRange(int in, off_t* inAt, int out, off_t* outAt, size_t length) {
    const off_t start = *inAt;
    const ssize_t done = SystemCalls::copyRange(in, inAt, out, outAt, length);
    if (done <= 0 || (!m_fault.breaksCopy && !m_fault.duringCopy)) {
        return done;
    }
    const QString path = pathOf(in);
    if (m_fault.breaksCopy && m_fault.breaksCopy(path)) {
        errno = EIO;
        return -1;
    }
    if (m_fault.duringCopy && start == 0) {
        m_fault.duringCopy(path);
    }
    return done;
}

bool FaultySystemCalls::sameFileSystem(dev_t first, dev_t second) {
    return !m_fault.crossDevice && SystemCalls::sameFileSystem(first, second);
}

}  // namespace qm::test
