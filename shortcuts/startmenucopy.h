#pragma once

#include <QString>

#include "platform/filesystem.h"

namespace qm {

// True when a destination typed by the user can be one folder of the applications menu: not
// empty or blank, not "(N/A)", and a single safe folder name.
bool isUsableDestination(const QString& text);

// The folder of the applications folder that is the destination, under the one rule for letter
// case (see matchNameNoCase()): two folders that differ only in case would show as two menu
// folders, so one in another spelling is the destination too.
FoundName existingDestination(const QString& applicationsFolder, const QString& destination);

// How a remembered destination is shown: in the spelling of its folder, when exactly one exists.
QString shownDestination(const QString& applicationsFolder, const QString& remembered);

// Deletes an earlier copy of a destination folder with its menu files.
void removeStartMenuFolder(const QString& applicationsFolder, const QString& destination);

// A new copy of the shortcut trees, built in a hidden folder of the applications folder and put
// in place of the earlier copies only once it is whole. Removed unless it was put in place.
class StagedMenuFolder {
public:
    explicit StagedMenuFolder(const QString& applicationsFolder);
    ~StagedMenuFolder();
    StagedMenuFolder(const StagedMenuFolder&) = delete;
    StagedMenuFolder& operator=(const StagedMenuFolder&) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }

    // Becomes the folder destination in place of the earlier copies named in replaced (with
    // their menu files). False, with the earlier copies as they were, when that fails.
    bool replace(const QString& destination, const QStringList& replaced) const;

private:
    QString m_applicationsFolder;
    QString m_path;
    mutable bool m_placed = false;
};

// Copies everything in the list folder listName of the program's own folder into destination
// (recursive, merging, overwriting) through the program state's fileOp. 0 on success.
int copyListFolder(const QString& listName, const QString& destinationPath, quintptr window,
                   const FileOperationProgress& progress);

// Deletes the list file and the settings file the copy brought along, whatever their case, so
// that only the shortcuts stay. False when one could not be deleted.
bool removeCopiedDataFiles(const QString& destinationPath);

}  // namespace qm
