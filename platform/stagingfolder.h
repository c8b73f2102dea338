#pragma once

#include <QByteArray>
#include <QString>

namespace qm {

// A hidden folder next to an extraction's destination that receives the files first. Committing
// moves its contents to the destination; otherwise it is removed with everything in it, so a
// failed extraction leaves nothing behind. A lock file beside it tells other runs that it is in
// use: staging folders whose owner has gone (a killed run) are removed when the next one is
// created in the same place.
class StagingFolder {
public:
    StagingFolder();
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Creates the folder beside destination (whose parent is created when missing). Its path is
    // free of symbolic links. False when it cannot be created.
    bool create(const QString& destination);
    QString path() const { return m_path; }

    // Says whether a symbolic link called name (relative to the folder it was made in) with the
    // given target leads inside that folder by its parts alone.
    using LinkCheck = bool (*)(const QByteArray& name, const QByteArray& target);

    // Moves the contents into destination, which is created (with the user's usual folder mode)
    // when missing. When everything staged lies in one folder, that folder's contents are moved
    // instead, unless a link in it fails linkCheck or leads out of it. Files of the same name in
    // an existing destination are replaced; a file never replaces a folder. False when that
    // fails, and then destination is as it was. No linkCheck says that no symbolic link was put
    // in the folder, which spares looking for them.
    bool commit(const QString& destination, LinkCheck linkCheck = nullptr);

    // Removes the folder and everything in it, never following a link.
    void discard();

    // The system error (errno) that made create or commit fail; 0 when none is known.
    int lastError() const { return m_error; }

private:
    QString m_path;
    int m_error = 0;
    // The lock file beside the folder, locked while the folder exists; -1 when none.
    int m_lockFd = -1;
};

// Removes a tree without following links, first making its folders writable (an archive may
// create read-only ones).
void removeTree(const QString& path);

}  // namespace qm
