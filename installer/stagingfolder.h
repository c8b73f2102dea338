#pragma once

#include <QString>

namespace qm {

// A hidden folder next to an extraction's destination that receives the files first. Committing
// moves its contents to the destination; otherwise it is removed with everything in it, so a
// failed extraction leaves nothing behind.
class StagingFolder {
public:
    StagingFolder() = default;
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Creates the folder beside destination (whose parent is created when missing). Its path is
    // free of symbolic links. False when it cannot be created.
    bool create(const QString& destination);
    QString path() const { return m_path; }

    // Renames the folder to destination, or, when destination is a folder already, moves every
    // entry into it, replacing files of the same name. False when that fails.
    bool commit(const QString& destination);

    // Removes the folder and everything in it, never following a link.
    void discard();

private:
    QString m_path;
};

// Removes a tree without following links, first making its folders writable (an archive may
// create read-only ones).
void removeTree(const QString& path);

}  // namespace qm
