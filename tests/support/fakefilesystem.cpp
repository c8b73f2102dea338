#include "support/fakefilesystem.h"

namespace qm::test {

FakeFileSystem::FakeFileSystem() : m_real(&FileSystem::instance()) {
    FileSystem::setInstance(this);
}

FakeFileSystem::~FakeFileSystem() {
    FileSystem::setInstance(nullptr);
}

void FakeFileSystem::refuse(unsigned operations, std::function<bool(const QString&)> refuses) {
    m_rules.append({operations, std::move(refuses)});
}

bool FakeFileSystem::refuses(Operation operation, const FsPath& path, QString* error) {
    for (const Rule& rule : std::as_const(m_rules)) {
        if ((rule.operations & operation) && rule.refuses(path.text())) {
            refused.append(path.text());
            if (error) {
                *error = QStringLiteral("refused");
            }
            return true;
        }
    }
    return false;
}

FileStatus FakeFileSystem::status(const FsPath& path) {
    return m_real->status(path);
}

std::optional<QList<FolderEntry>> FakeFileSystem::list(const FsPath& folder) {
    return m_real->list(folder);
}

bool FakeFileSystem::readFile(const FsPath& path, QByteArray* bytes, QString* error) {
    return !refuses(Read, path, error) && m_real->readFile(path, bytes, error);
}

bool FakeFileSystem::writeFile(const FsPath& path, const QByteArray& bytes, QString* error,
                               Durability durability, Existing existing) {
    return !refuses(Write, path, error) &&
           m_real->writeFile(path, bytes, error, durability, existing);
}

bool FakeFileSystem::makeFolder(const FsPath& path, bool withParents) {
    return !refuses(MakeFolder, path) && m_real->makeFolder(path, withParents);
}

bool FakeFileSystem::remove(const FsPath& path) {
    return !refuses(Remove, path) && m_real->remove(path);
}

bool FakeFileSystem::removeTree(const FsPath& path) {
    return !refuses(RemoveTree, path) && m_real->removeTree(path);
}

int FakeFileSystem::transfer(const FileOperation& operation, const FileOperationProgress& progress,
                             TransferOutcome* outcome) {
    if (refuses(Transfer, FsPath(operation.pFrom.section(QChar(u'\0'), 0, 0)))) {
        return -1;
    }
    return m_real->transfer(operation, progress, outcome);
}

bool FakeFileSystem::trash(const FsPath& path, QString* error) {
    return !refuses(Trash, path, error) && m_real->trash(path, error);
}

bool FakeFileSystem::open(const FsPath& folder) {
    return !refuses(Open, folder) && m_real->open(folder);
}

bool FakeFileSystem::launch(const FsPath& program, const QStringList& arguments,
                            const FsPath& workingDirectory, QString* error) {
    return !refuses(Launch, program, error) &&
           m_real->launch(program, arguments, workingDirectory, error);
}

}  // namespace qm::test
