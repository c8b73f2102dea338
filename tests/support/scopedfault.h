#pragma once

#include <utility>

#include "platform/fileoperation.h"

namespace qm::test {

// Installs a file-system fault for the lifetime of the object.
class ScopedFileSystemFault {
public:
    explicit ScopedFileSystemFault(FileSystemFault fault) { setFileSystemFault(std::move(fault)); }
    ~ScopedFileSystemFault() { setFileSystemFault(FileSystemFault()); }
    ScopedFileSystemFault(const ScopedFileSystemFault&) = delete;
    ScopedFileSystemFault& operator=(const ScopedFileSystemFault&) = delete;
};

}  // namespace qm::test
