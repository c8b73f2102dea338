#pragma once

#include <QString>

#include "platform/fileoperation.h"

namespace qm {

// Why a folder cannot be moved into a destination folder.
enum class MoveRefusal {
    None,
    SameFolder,  // the destination is the working folder itself, or lies inside the source
    NameClash,   // the destination already holds an entry of the source's name
};

// Checks a move of source into destinationFolder (an existing folder). A folder of the source's
// name there that an unfinished move of source left is no clash: the move finishes it. The
// destination is the working folder when both lead to the same folder (the same file, links
// resolved); names that differ only in letter case are different folders.
MoveRefusal checkMove(const QString& source, const QString& destinationFolder,
                      const QString& workFolder);

// Creates the folder destination (or takes the one an unfinished move of source left) and moves
// everything inside source into it through shellFileOperation(), with the parameter block in the
// program state. 0 on success; otherwise *outcome tells why.
int transferFolderContents(quintptr window, const QString& source, const QString& destination,
                           const FileOperationProgress& progress, TransferOutcome* outcome);

// Removes the source folder after a successful transfer when nothing is left in it. False when
// it still holds files (they appeared or changed during the move, or were held open) or cannot be
// removed; it then stays as it is.
bool removeMovedFolder(const QString& source);

}  // namespace qm
