#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "platform/filesystem.h"

namespace qm {

// Which files a file list shows.
using FileFilter = std::function<bool(const FolderEntry&)>;

// A program file: "*.exe" in any letter case, or (off Windows) a regular file with an execute bit.
bool isProgramFile(const FolderEntry& entry);

// A text file: "*.txt" in any letter case.
bool isTextFile(const FolderEntry& entry);

// The names of folder's files that pass filter, hidden (dot) files left out, sorted by name
// without regard to case. Empty when the folder cannot be listed.
QStringList listFileNames(const QString& folder, const FileFilter& filter);

// The names of folder's sub-folders, hidden ones left out, sorted the same way.
QStringList listFolderNames(const QString& folder);

}  // namespace qm
