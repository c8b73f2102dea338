#pragma once

#include <QString>

namespace qm {

// The most files and folders a tree may hold below the folder being deleted.
inline constexpr int kTreeEntryLimit = 1001;

// Appends the direct entries of folder (files, folders and links, hidden ones too, sorted by
// name) to the table of the deletion under way. A path that is not a folder, or a link, adds
// nothing. False when folder cannot be examined or listed, or when the table would overflow.
bool collectFolderEntries(const QString& folder);

// Deletes a folder with everything in it, asking nothing: lists the whole tree first (refusing
// one of more than kTreeEntryLimit entries before anything is deleted), then deletes every file,
// then removes the folders deepest first, then the folder itself. Symbolic links are removed as
// links and never followed; a path that is itself a link loses only the link. Names may be any
// bytes (see pathbytes.h). Read-only folders of the user's own are made writable once the whole
// tree is listed, as their contents cannot be removed otherwise. Any failure shows
// "error" and gives false; what was deleted before it stays deleted. Otherwise the result is true
// only when at least one sub-folder was removed.
bool deleteFolderTree(const QString& path);

}  // namespace qm
