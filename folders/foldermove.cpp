#include "folders/foldermove.h"

#include <QDir>
#include <QFileInfo>

#include "app/helpers.h"
#include "app/programstate.h"

namespace qm {
namespace {

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

// The folder a path leads to, links resolved; "" when it cannot be found.
QString realFolder(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

bool isSameOrInside(const QString& inner, const QString& folder) {
    return !inner.isEmpty() && !folder.isEmpty() &&
           (inner == folder || inner.startsWith(folder + u'/'));
}

}  // namespace

MoveRefusal checkMove(const QString& source, const QString& destinationFolder,
                      const QString& workFolder) {
    const QString destination = withoutTrailingSeparators(destinationFolder);
    if (destination.toUpper() == withoutTrailingSeparators(workFolder).toUpper()) {
        return MoveRefusal::SameFolder;
    }
    const QString realDestination = realFolder(destination);
    if (!realDestination.isEmpty() && realDestination == realFolder(workFolder)) {
        return MoveRefusal::SameFolder;
    }
    // Moving a folder into itself would chase its own contents.
    if (isSameOrInside(realDestination, realFolder(source))) {
        return MoveRefusal::SameFolder;
    }
    const QFileInfo target(joinPath(destination, lastPathPart(source)));
    if (target.exists() || target.isSymLink()) {
        return MoveRefusal::NameClash;
    }
    return MoveRefusal::None;
}

int transferFolderContents(quintptr window, const QString& source, const QString& destination,
                           const FileOperationProgress& progress) {
    if (fileSystemRefuses(destination) || !QDir().mkdir(destination)) {
        return -1;
    }
    const QString twoNuls(2, QChar(u'\0'));
    FileOperation& op = state().fileOp;
    op.hwnd = window;
    op.wFunc = FileOperation::Move;
    op.pFrom = source + QStringLiteral("/*.*") + twoNuls;
    op.pTo = destination + twoNuls;
    op.fFlags = FileOperation::Silent | FileOperation::NoConfirmation;
    const int result = shellFileOperation(op, progress);
    if (result != 0) {
        // An empty new folder would only block the next attempt; one that holds moved files
        // stays, so that nothing is lost.
        QDir().rmdir(destination);
    }
    return result;
}

}  // namespace qm
