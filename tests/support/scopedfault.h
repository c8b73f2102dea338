#pragma once

#include <QString>

#include <functional>

#include "platform/systemcalls.h"

namespace qm::test {

// Faults planted in the system calls the program changes files with, where running as root makes
// permissions useless for that.
struct FileSystemFault {
    // Renaming, making or removing a path for which this returns true fails with EPERM.
    std::function<bool(const QString& path)> refuses;
    // Copying the contents of a path for which this returns true fails after the first part of
    // it was written, as a full disk or a read error would.
    std::function<bool(const QString& path)> breaksCopy;
    // Source and destination count as different file systems.
    bool crossDevice = false;
    // Flushing a file system to its disk fails.
    bool failsFlush = false;
    // Called once the first part of a path has been copied (to change it meanwhile).
    std::function<void(const QString& path)> duringCopy;
    // Called once, before the first entry of a tree being deleted is removed.
    std::function<void()> beforeRemoving;
};

// The real system calls with a fault planted in them.
class FaultySystemCalls : public SystemCalls {
public:
    explicit FaultySystemCalls(FileSystemFault fault) : m_fault(std::move(fault)) {}

    int rename(const char* from, const char* to) override;
    int makeFolder(const char* path, mode_t mode) override;
    int removeFolder(const char* path) override;
    int unlink(const char* path) override;
    int unlinkAt(int folder, const char* name, int flags) override;
    int flushFileSystem(int fd) override;
    ssize_t copyRange(int in, off_t* inAt, int out, off_t* outAt, size_t length) override;
    bool sameFileSystem(dev_t first, dev_t second) override;

private:
    bool refused(const QString& path);

    FileSystemFault m_fault;
    bool m_removing = false;
};

// Installs a fault for the lifetime of the object.
class ScopedFileSystemFault {
public:
    explicit ScopedFileSystemFault(FileSystemFault fault) : m_calls(std::move(fault)) {
        SystemCalls::setInstance(&m_calls);
    }
    ~ScopedFileSystemFault() { SystemCalls::setInstance(nullptr); }
    ScopedFileSystemFault(const ScopedFileSystemFault&) = delete;
    ScopedFileSystemFault& operator=(const ScopedFileSystemFault&) = delete;

private:
    FaultySystemCalls m_calls;
};

}  // namespace qm::test
