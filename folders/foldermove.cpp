#include "folders/foldermove.h"

#include <filesystem>
#include <system_error>

#include "app/helpers.h"
#include "app/programstate.h"
#include "platform/pathbytes.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

// The folder a path leads to, links resolved; empty when it cannot be found.
fs::path realFolder(const QString& path) {
    std::error_code ec;
    fs::path real = fs::canonical(fsPath(path), ec);
    return ec ? fs::path() : real;
}

// True when inner is folder itself or lies inside it (both canonical).
bool isSameOrInside(const fs::path& inner, const fs::path& folder) {
    if (inner.empty() || folder.empty()) {
        return false;
    }
    auto ii = inner.begin();
    for (auto fi = folder.begin(); fi != folder.end(); ++fi, ++ii) {
        if (ii == inner.end() || *ii != *fi) {
            return false;
        }
    }
    return true;
}

}  // namespace

MoveRefusal checkMove(const QString& source, const QString& destinationFolder,
                      const QString& workFolder) {
    const QString destination = withoutTrailingSeparators(destinationFolder);
    // The same folder is the same file, whatever the spelling: /data/Apps and /data/apps are
    // two folders here.
    std::error_code ec;
    if (fs::equivalent(fsPath(destination), fsPath(workFolder), ec) && !ec) {
        return MoveRefusal::SameFolder;
    }
    // Moving a folder into itself would chase its own contents.
    if (isSameOrInside(realFolder(destination), realFolder(source))) {
        return MoveRefusal::SameFolder;
    }
    const QString target = joinPath(destination, lastPathPart(source));
    if (fs::exists(fs::symlink_status(fsPath(target), ec)) && !isUnfinishedMoveOf(target, source)) {
        return MoveRefusal::NameClash;
    }
    return MoveRefusal::None;
}

int transferFolderContents(quintptr window, const QString& source, const QString& destination,
                           const FileOperationProgress& progress, TransferOutcome* outcome) {
    std::error_code ec;
    // A folder an unfinished move of the same source left is finished now.
    const bool resumed = isUnfinishedMoveOf(destination, source);
    if (fileSystemRefuses(destination) ||
        (!fs::create_directory(fsPath(destination), ec) && !resumed) || ec) {
        return -1;
    }
    const QString twoNuls(2, QChar(u'\0'));
    FileOperation& op = state().fileOp;
    op.hwnd = window;
    op.wFunc = FileOperation::Move;
    op.pFrom = source + QStringLiteral("/*.*") + twoNuls;
    op.pTo = destination + twoNuls;
    op.fFlags = FileOperation::Silent | FileOperation::NoConfirmation;
    const int result = shellFileOperation(op, progress, outcome);
    if (result != 0) {
        // An empty new folder would only block the next attempt; one that holds moved files
        // (a move that could not be put back) stays, so that nothing is lost.
        fs::remove(fsPath(destination), ec);
    }
    return result;
}

bool removeMovedFolder(const QString& source) {
    if (fileSystemRefuses(source)) {
        return false;
    }
    std::error_code ec;
    return fs::remove(fsPath(source), ec) && !ec;
}

}  // namespace qm
