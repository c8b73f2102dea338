#pragma once

#include <sys/types.h>

namespace qm {

// The system calls through which the program changes files: moving, copying and deleting
// folders and making and removing single entries. Each answers as the call it is named after (0,
// or -1 with errno set). Tests stand in a file system that fails where a real one would (a full
// disk, a read-only folder, another device) by installing a subclass (see tests/support).
class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    virtual int rename(const char* from, const char* to);
    virtual int makeFolder(const char* path, mode_t mode);
    virtual int removeFolder(const char* path);
    virtual int unlink(const char* path);
    // Removes name in the folder open as folder (AT_REMOVEDIR in flags for a folder).
    virtual int unlinkAt(int folder, const char* name, int flags);
    // Writes what the file system open as fd holds in memory to its disk.
    virtual int flushFileSystem(int fd);
    // Copies up to length bytes from in at *inAt to out at *outAt and advances both; the number
    // copied, 0 at the end of in, -1 on failure.
    virtual ssize_t copyRange(int in, off_t* inAt, int out, off_t* outAt, size_t length);
    // Whether entries on these two devices can be renamed into each other.
    virtual bool sameFileSystem(dev_t first, dev_t second);

    static SystemCalls& instance();
    // Installs a stand-in (not owned); nullptr restores the real calls.
    static void setInstance(SystemCalls* calls);
};

inline SystemCalls& systemCalls() {
    return SystemCalls::instance();
}

// Makes path with the folders missing above it, each through systemCalls(); true when it is a
// folder afterwards.
bool makeFolderWithParents(const char* path, mode_t mode);

}  // namespace qm
