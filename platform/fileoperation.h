#pragma once

#include <QString>

#include <filesystem>
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
// destination folder, silently, overwriting. 0 on success, another number on failure. Names are
// kept byte for byte (see pathbytes.h for how the texts carry them).
// Move: renames where possible (a read-only folder of the user's own is made writable for the
// rename and gets its mode back), else copies. A copied file keeps its mode and modification
// time, is flushed to disk, and its source is removed only when the copy is complete, the source
// did not change while it was copied and no other program holds it open; a file that keeps
// changing or is held open stays in the source. A folder is removed from the source only once it
// is empty: what appeared in it during the move stays there, and the move still succeeds, so the
// caller must look whether the source is empty. A failure leaves every file whole in the source
// or in the destination. Copy: merges into what the destination holds. Symbolic links are moved
// or copied as links, never followed. Copied folders get their mode once they are filled.
int shellFileOperation(const FileOperation& operation,
                       const FileOperationProgress& progress = FileOperationProgress());

// Gives a folder of the user's own that lacks the owner's write permission that permission, so
// that entries can be added to it or removed from it; the old mode, or -1 when nothing was
// changed (root, a writable folder, another owner's folder, not a folder).
int allowChangesIn(const std::filesystem::path& folder);

// Faults a test can inject into the file-system changes made by shellFileOperation() and by
// the folder tree deletion, where running as root makes permissions useless for that.
struct FileSystemFault {
    // Removing, moving or writing a path for which this returns true fails.
    std::function<bool(const QString& path)> refuses;
    // Copying the contents of a path for which this returns true fails after the first part of
    // it was written, as a full disk or a read error would.
    std::function<bool(const QString& path)> breaksCopy;
    // Renames fail as if source and destination were on different file systems.
    bool crossDevice = false;
};

// Installs a fault; a default-constructed one restores normal behaviour.
void setFileSystemFault(FileSystemFault fault);
const FileSystemFault& fileSystemFault();
// True when the installed fault refuses a change to path.
bool fileSystemRefuses(const QString& path);

}  // namespace qm
