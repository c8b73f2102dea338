#pragma once

#include <QString>

#include <functional>

namespace qm {

// Parameter block of a shell file operation: what the move window and the link window fill
// before calling shellFileOperation().
struct FileOperation {
    enum Function : unsigned { Move = 1, Copy = 2 };
    enum Flag : unsigned { Silent = 0x4, NoConfirmation = 0x10 };

    quintptr hwnd = 0;
    unsigned wFunc = 0;
    QString pFrom;  // source folder + "/*.*" followed by two NUL characters
    QString pTo;    // destination folder followed by two NUL characters
    unsigned fFlags = 0;
};

// Called now and then during a long operation (for example to let window events run).
using FileOperationProgress = std::function<void()>;

// Moves or copies everything inside the source folder (files and sub-folders) into the
// destination folder, silently, overwriting. 0 on success, another number on failure.
// Move: renames where possible, else copies a file and removes it from the source only once
// the copy is complete, so a failure halfway leaves every file in the source or in the
// destination. Copy: merges into what the destination holds. Symbolic links are moved or copied
// as links, never followed.
int shellFileOperation(const FileOperation& operation,
                       const FileOperationProgress& progress = FileOperationProgress());

// Faults a test can inject into the file-system changes made by shellFileOperation() and by
// the folder tree deletion, where running as root makes permissions useless for that.
struct FileSystemFault {
    // Removing, moving or writing a path for which this returns true fails.
    std::function<bool(const QString& path)> refuses;
    // Renames fail as if source and destination were on different file systems.
    bool crossDevice = false;
};

// Installs a fault; a default-constructed one restores normal behaviour.
void setFileSystemFault(FileSystemFault fault);
const FileSystemFault& fileSystemFault();
// True when the installed fault refuses a change to path.
bool fileSystemRefuses(const QString& path);

}  // namespace qm
