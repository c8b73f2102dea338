#include "shortcuts/startmenucopy.h"

#include <QFile>

#include "app/helpers.h"
#include "app/programstate.h"
#include "app/workingfolder.h"
#include "platform/foldertree.h"
#include "platform/paths.h"
#include "shortcuts/linktree.h"
#include "shortcuts/menufiles.h"
#include "shortcuts/recentdestinations.h"

namespace qm {

bool isUsableDestination(const QString& text) {
    return text != notAvailable() && !text.trimmed().isEmpty() && isSafeLinkName(text);
}

QStringList sameDestinationFolders(const QString& applicationsFolder, const QString& destination) {
    QStringList folders;
    if (folderExists(joinPath(applicationsFolder, destination))) {
        folders << destination;
    }
    for (const QString& name : subFolderNamesNoCase(applicationsFolder, destination)) {
        if (name != destination) {
            folders << name;
        }
    }
    return folders;
}

QString shownDestination(const QString& applicationsFolder, const QString& remembered) {
    if (!isUsableDestination(remembered)) {
        return remembered;
    }
    return sameDestinationFolders(applicationsFolder, remembered).value(0, remembered);
}

void removeStartMenuFolder(const QString& applicationsFolder, const QString& destination) {
    const QString path = joinPath(applicationsFolder, destination);
    if (folderExists(path)) {
        deleteFolderTree(path);
    }
    MenuFiles(applicationsFolder, destination).remove();
}

int copyListFolder(const QString& listName, const QString& destinationPath, quintptr window,
                   const FileOperationProgress& progress) {
    FileOperation& operation = state().fileOp;
    operation = FileOperation();
    operation.hwnd = window;
    operation.wFunc = FileOperation::Copy;
    operation.pFrom =
        joinPath(programFolder(), listName) + QStringLiteral("/*.*") + QString(2, QChar(u'\0'));
    operation.pTo = destinationPath + QString(2, QChar(u'\0'));
    operation.fFlags = FileOperation::Silent | FileOperation::NoConfirmation;
    return shellFileOperation(operation, progress);
}

bool removeCopiedDataFiles(const QString& destinationPath) {
    for (const QString& name : {QStringLiteral("index.qmx"), QStringLiteral("settings.dat")}) {
        // Two list folders may have brought the same file in two spellings.
        for (int guard = 0; guard < 64; ++guard) {
            const QString found = findFileNoCase(joinPath(destinationPath, name));
            if (found.isEmpty()) {
                break;
            }
            if (!QFile::remove(found)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace qm
