#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// A working folder as the program takes it: doubled and trailing separators and "." and ".."
// parts are removed, so that its last path part names a real list folder. The root stays "/".
QString cleanWorkFolder(const QString& path);

// A working folder's list folder: the program's own folder joined with the working folder's
// last path part, found in any letter case when only one spelling exists (the recent-folder
// list keeps lower case). When that folder's "settings.dat" names another working folder, it
// keeps that folder's list, and this one's is "<last part> (2)" (or the next free number), the
// one whose "settings.dat" names it.
QString listFolderOf(const QString& workFolder);

// True when a "settings.dat" that names `named` belongs to workFolder: the same text, or
// another letter case of the same folder (or of one that is not there now).
bool isSameWorkingFolder(const QString& named, const QString& workFolder);

// Tells the user when listFolder is a numbered one because the list folder named after the
// working folder keeps another working folder's list.
void tellOwnListFolder(const QString& workFolder, const QString& listFolder);

// Creates the list folder and its "settings.dat" when it has none (a catalogue opened on a
// working folder that was never prepared); false when they cannot be written.
bool makeListFolder(const QString& workFolder, const QString& listFolder);

// True when "settings.dat" can hold the working folder so that it reads back exactly (a path
// with both a comma and a double quote, for one, cannot be held).
bool settingsFileCanHold(const QString& workFolder);

// The path of a file in a folder whose name is compared without regard to case: the existing
// file's real path, or folder + "/" + name when there is none.
QString fileInFolder(const QString& folder, const QString& name);

// "settings.dat" and "index.qmx" of a list folder.
QString settingsFileOf(const QString& listFolder);
QString listFileOf(const QString& listFolder);

// Writes "settings.dat": one line naming the working folder, ending in CR LF. A path the reading
// rule would cut is written as a quoted field.
bool writeSettingsFile(const QString& listFolder, const QString& workFolder);

// The working folder named by a list folder's "settings.dat" (first field of the first line);
// nothing when the file is missing or cannot be read.
std::optional<QString> readSettingsFile(const QString& listFolder);

// Creates the list folder and writes "settings.dat", then says "作業フォルダを作成しました。".
// When either cannot be written it says so instead and returns false. Never creates a list
// folder beside others that differ from it only in letter case.
bool prepareWorkingFolder(const QString& workFolder);

// True when the working folder's list folder exists and holds "settings.dat".
bool isPrepared(const QString& workFolder);

// The working folders of every list folder in the program's own folder that holds
// "settings.dat", in the order of the folders' names compared without regard to case.
QStringList preparedWorkingFolders();

// The sub-folders of a folder (names only), sorted by name without regard to case; names that
// begin with "." are left out.
QStringList subFolderNames(const QString& folder);

// The sub-folders of a folder (hidden ones too) whose names equal name without regard to case,
// sorted like subFolderNames.
QStringList subFolderNamesNoCase(const QString& folder, const QString& name);

}  // namespace qm
