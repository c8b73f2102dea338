#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "platform/filesystem.h"

namespace qm {

// Which files a file list shows.
using FileFilter = std::function<bool(const QString& folder, const FolderEntry& entry)>;

// A program file of folder: "*.exe" in any letter case, or (off Windows) a file that is a program
// by its content (ELF, PE, AppImage, "#!" script), whatever its execute bit says.
bool isProgramFile(const QString& folder, const FolderEntry& entry);

// A text file: "*.txt" in any letter case.
bool isTextFile(const QString& folder, const FolderEntry& entry);

// The names of folder's files that pass filter, hidden (dot) files left out, sorted by name
// without regard to case. Empty when the folder cannot be listed.
QStringList listFileNames(const QString& folder, const FileFilter& filter);

// The names of folder's sub-folders, hidden ones left out, sorted the same way.
QStringList listFolderNames(const QString& folder);

}  // namespace qm
