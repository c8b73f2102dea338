#include "folders/foldermove.h"

#include "app/helpers.h"
#include "app/programstate.h"
#include "platform/filesystem.h"

namespace qm {
namespace {

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

// True when inner is folder itself or lies inside it: one of inner's parents (links followed)
// is the same file as folder.
bool isSameOrInside(const QString& inner, const QString& folder) {
    const FileStatus target = fileSystem().status(FsPath(folder));
    for (FsPath path(inner); !path.isEmpty(); path = path.parent()) {
        if (fileSystem().status(path).sameFileAs(target)) {
            return true;
        }
        if (path.parent() == path) {
            break;
        }
    }
    return false;
}

}  // namespace

MoveRefusal checkMove(const QString& source, const QString& destinationFolder,
                      const QString& workFolder) {
    const QString destination = withoutTrailingSeparators(destinationFolder);
    // The same folder is the same file, whatever the spelling: /data/Apps and /data/apps are
    // two folders here.
    if (fileSystem()
            .status(FsPath(destination))
            .sameFileAs(fileSystem().status(FsPath(workFolder)))) {
        return MoveRefusal::SameFolder;
    }
    // Moving a folder into itself would chase its own contents.
    if (isSameOrInside(destination, source)) {
        return MoveRefusal::SameFolder;
    }
    const QString target = joinPath(destination, lastPathPart(source));
    if (fileSystem().status(FsPath(target)).exists() && !isUnfinishedMoveOf(target, source)) {
        return MoveRefusal::NameClash;
    }
    return MoveRefusal::None;
}

int transferFolderContents(quintptr window, const QString& source, const QString& destination,
                           const FileOperationProgress& progress, TransferOutcome* outcome) {
    // A folder an unfinished move of the same source left is finished now.
    const bool resumed = isUnfinishedMoveOf(destination, source);
    if (!resumed && (fileSystem().status(FsPath(destination)).exists() ||
                     !fileSystem().makeFolder(FsPath(destination)))) {
        return -1;
    }
    const QString twoNuls(2, QChar(u'\0'));
    FileOperation& op = state().fileOp;
    op.hwnd = window;
    op.wFunc = FileOperation::Move;
    op.pFrom = source + QStringLiteral("/*.*") + twoNuls;
    op.pTo = destination + twoNuls;
    op.fFlags = FileOperation::Silent | FileOperation::NoConfirmation;
    const int result = fileSystem().transfer(op, progress, outcome);
    if (result != 0) {
        // An empty new folder would only block the next attempt; one that holds moved files
        // (a move that could not be put back) stays, so that nothing is lost.
        fileSystem().remove(FsPath(destination));
    }
    return result;
}

bool removeMovedFolder(const QString& source) {
    return fileSystem().remove(FsPath(source));
}

}  // namespace qm
