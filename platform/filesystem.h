#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "platform/fileoperation.h"
#include "platform/fspath.h"

namespace qm {

enum class FileKind { Missing, File, Folder, Other };

// What a path is. kind follows links (a link to nothing is Missing); isLink tells whether the
// entry itself is a symbolic link.
struct FileStatus {
    FileKind kind = FileKind::Missing;
    bool isLink = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;  // since the epoch
    qint64 changedNs = 0;   // of the last change of contents or attributes, since the epoch
    quint64 device = 0;
    quint64 inode = 0;
    unsigned mode = 0;  // permission bits
    // A folder this user may list and enter.
    bool listable = false;

    bool exists() const { return kind != FileKind::Missing || isLink; }
    bool isFile() const { return kind == FileKind::File; }
    bool isFolder() const { return kind == FileKind::Folder; }
    bool hasExecuteBit() const { return (mode & 0111) != 0; }
    // Two statuses of existing entries are the same file.
    bool sameFileAs(const FileStatus& other) const {
        return exists() && other.exists() && device == other.device && inode == other.inode;
    }
};

struct FolderEntry {
    QString name;  // in the text form of pathbytes.h
    FileStatus status;
};

// Whether a write waits until the bytes are on the disk: lists and settings do, files that are
// written by the thousand and can be written again (shortcuts) need not.
enum class Durability { Synced, Unsynced };

// Whether a write may replace a file of the same name.
enum class Existing { Replace, Keep };

// Which entries a look-up considers.
enum class EntryFilter { Any, Files, Folders };

// The answer of a case-blind look-up of a typed, remembered or listed name.
struct FoundName {
    enum class Outcome { None, One, Ambiguous };
    Outcome outcome = Outcome::None;
    QString name;         // the real spelling when One
    QStringList matches;  // every spelling that matches without regard to case

    bool isOne() const { return outcome == Outcome::One; }
};

// The one rule for letter case: the exact spelling when names holds it; else the single name
// equal to name without regard to case; else none or ambiguous, which is never settled by picking
// one of the matches.
FoundName matchNameNoCase(const QStringList& names, const QString& name);

// The one way the program touches files. Paths are bytes (FsPath); every other folder of the
// program reaches files only through this. Tests install a fake (see tests/support).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual FileStatus status(const FsPath& path) = 0;
    // The entries of a folder (hidden ones too, without "." and ".."), in no particular order;
    // nothing when it cannot be listed.
    virtual std::optional<QList<FolderEntry>> list(const FsPath& folder) = 0;
    // The names of the entries of a folder that are folders (links to folders too), as list()
    // would give them, without the rest of their status (which may cost a call per entry).
    virtual std::optional<QStringList> listFolderNames(const FsPath& folder);

    // Of the entries of folder named in names, those that hold an entry named entry (one look
    // per name, relative to the folder).
    virtual QStringList namesHolding(const FsPath& folder, const QStringList& names,
                                     const QString& entry);

    // Reads a whole file; false, with a reason, when it cannot be read.
    virtual bool readFile(const FsPath& path, QByteArray* bytes, QString* error = nullptr) = 0;
    // Replaces a file atomically: a failed or interrupted write leaves the old file whole. The
    // temporary file beside it is created exclusively and never replaces anything. With
    // Existing::Keep a file of that name (made by another program meanwhile) is never replaced:
    // the write fails instead.
    virtual bool writeFile(const FsPath& path, const QByteArray& bytes, QString* error = nullptr,
                           Durability durability = Durability::Synced,
                           Existing existing = Existing::Replace) = 0;

    // Creates one folder (with its missing parents when withParents); true when it exists.
    virtual bool makeFolder(const FsPath& path, bool withParents = false) = 0;
    // Removes one file, link or empty folder.
    virtual bool remove(const FsPath& path) = 0;
    // Removes a folder with everything in it (see deleteFolderTree()).
    virtual bool removeTree(const FsPath& path) = 0;
    // Moves or copies a folder's contents (see shellFileOperation()); 0 on success, otherwise
    // *outcome (when given) tells why.
    virtual int transfer(const FileOperation& operation,
                         const FileOperationProgress& progress = FileOperationProgress(),
                         TransferOutcome* outcome = nullptr) = 0;
    // Moves a path to the desktop's trash; false, with a reason, when it could not.
    virtual bool trash(const FsPath& path, QString* error = nullptr) = 0;

    // Opens a folder in the desktop's file manager.
    virtual bool open(const FsPath& folder) = 0;
    // Starts a program detached (see Launcher::start()).
    virtual bool launch(const FsPath& program, const QStringList& arguments,
                        const FsPath& workingDirectory, QString* error = nullptr) = 0;

    // The name in folder that name stands for under the one rule for letter case (see
    // matchNameNoCase()), among the entries filter admits.
    FoundName find(const FsPath& folder, const QString& name,
                   EntryFilter filter = EntryFilter::Any);

    static FileSystem& instance();
    // Installs a file system (not owned); nullptr restores the real one.
    static void setInstance(FileSystem* fileSystem);
};

inline FileSystem& fileSystem() {
    return FileSystem::instance();
}

// True when status passes filter.
bool admits(EntryFilter filter, const FileStatus& status);

}  // namespace qm
