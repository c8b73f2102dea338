#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "platform/filesystem.h"

namespace qm::test {

// The real file system with chosen changes refused, as permissions would refuse them (where
// running as root makes permissions useless). Installs itself while it lives.
class FakeFileSystem final : public FileSystem {
public:
    enum Operation : unsigned {
        Read = 0x1,
        Write = 0x2,
        MakeFolder = 0x4,
        Remove = 0x8,
        RemoveTree = 0x10,
        Transfer = 0x20,
        Trash = 0x40,
        Launch = 0x80,
        Open = 0x100,
        Changes = Write | MakeFolder | Remove | RemoveTree | Transfer | Trash,
    };

    FakeFileSystem();
    ~FakeFileSystem() override;
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    // Refuses the operations for every path (in its text form) for which refuses is true.
    void refuse(unsigned operations, std::function<bool(const QString& path)> refuses);
    // Every refused call, as "<path>".
    QStringList refused;

    FileStatus status(const FsPath& path) override;
    std::optional<QList<FolderEntry>> list(const FsPath& folder) override;
    bool readFile(const FsPath& path, QByteArray* bytes, QString* error) override;
    bool writeFile(const FsPath& path, const QByteArray& bytes, QString* error,
                   Durability durability, Existing existing) override;
    bool makeFolder(const FsPath& path, bool withParents) override;
    bool remove(const FsPath& path) override;
    bool removeTree(const FsPath& path) override;
    int transfer(const FileOperation& operation, const FileOperationProgress& progress,
                 TransferOutcome* outcome) override;
    bool trash(const FsPath& path, QString* error) override;
    bool open(const FsPath& folder) override;
    bool launch(const FsPath& program, const QStringList& arguments, const FsPath& workingDirectory,
                QString* error) override;

private:
    bool refuses(Operation operation, const FsPath& path, QString* error = nullptr);

    struct Rule {
        unsigned operations;
        std::function<bool(const QString&)> refuses;
    };
    QList<Rule> m_rules;
    FileSystem* m_real;
};

}  // namespace qm::test
