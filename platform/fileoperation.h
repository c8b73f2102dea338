#pragma once

#include <QString>
#include <QStringList>

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

// What stopped a move, so that its message can name it.
struct TransferOutcome {
    enum class Problem {
        None,
        Unmovable,   // a pipe, socket or device, which only a copy could move and none can make
        Unreadable,  // a file or folder that cannot be read
        Unwritable,  // a folder whose entries cannot be removed
        HeldOpen,    // a file another program holds open
        MountPoint,  // another file system is mounted inside the folder
        NoSpace,     // the destination lacks room for the copy
        Failed,      // a file or folder could not be moved midway
    };
    Problem problem = Problem::None;
    QString path;       // the entry concerned
    int error = 0;      // the system's error number, 0 when none is known
    qint64 needed = 0;  // NoSpace: the bytes the copy takes and the bytes free
    qint64 available = 0;
    bool putBack = true;  // Failed: false when undoing the move failed as well
    QStringList arrived;  // when not put back: what is in the destination (relative paths)
};

// Moves or copies everything inside the source folder (files and sub-folders) into the
// destination folder, silently, overwriting. 0 on success, another number on failure. Names are
// kept byte for byte (see pathbytes.h for how the texts carry them).
// Move: first checks the whole tree (kinds, readability, folders whose entries must go, files
// another program holds open, mounts inside, and across file systems the space the copy takes),
// and moves nothing when a check fails. Then renames where possible (a read-only folder of the
// user's own is made writable for the rename and gets its mode back), else copies everything,
// keeping modes, times, ownership where allowed, extended attributes, holes and hard links
// inside the tree, flushes the copies to the disk, and removes each source only when it is
// still as it was copied and nobody holds it open. A file that kept changing stays in the
// source (the caller must look whether the source is empty). A failure midway puts back what
// was moved; when that fails too, the destination keeps a mark so that the next move of the same
// folder into it finishes the job, and *outcome lists what arrived. Copy: merges into what the
// destination holds. Symbolic links are moved or copied as links, never followed. Copied
// folders get their mode once they are filled. Temporary names never replace a user's file.
int shellFileOperation(const FileOperation& operation,
                       const FileOperationProgress& progress = FileOperationProgress(),
                       TransferOutcome* outcome = nullptr);

// True when destination holds the mark of an unfinished move of source into it.
bool isUnfinishedMoveOf(const QString& destination, const QString& source);

// The mark an unfinished move leaves in its destination folder; it holds the source's path.
inline constexpr char kUnfinishedMoveMark[] = ".qm-move-unfinished";

// Names of the temporary files a transfer writes before it puts them in place.
inline constexpr char kTransferTemporaryPrefix[] = ".qm-transfer-";

// Gives a folder of the user's own that lacks the owner's write permission that permission, so
// that entries can be added to it or removed from it; the old mode, or -1 when nothing was
// changed (root, a writable folder, another owner's folder, not a folder).
int allowChangesIn(const std::filesystem::path& folder);

}  // namespace qm
