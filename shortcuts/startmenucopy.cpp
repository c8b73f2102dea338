#include "shortcuts/startmenucopy.h"

#include "app/helpers.h"
#include "app/programstate.h"
#include "platform/folderswap.h"
#include "platform/paths.h"
#include "shortcuts/linktree.h"
#include "shortcuts/menufiles.h"
#include "shortcuts/recentdestinations.h"

namespace qm {

bool isUsableDestination(const QString& text) {
    return text != notAvailable() && !text.trimmed().isEmpty() && isSafeLinkName(text);
}

FoundName existingDestination(const QString& applicationsFolder, const QString& destination) {
    return fileSystem().find(applicationsFolder, destination, EntryFilter::Folders);
}

QString shownDestination(const QString& applicationsFolder, const QString& remembered) {
    if (!isUsableDestination(remembered)) {
        return remembered;
    }
    const FoundName found = existingDestination(applicationsFolder, remembered);
    return found.isOne() ? found.name : remembered;
}

void removeStartMenuFolder(const QString& applicationsFolder, const QString& destination) {
    const QString path = joinPath(applicationsFolder, destination);
    if (folderExists(path)) {
        fileSystem().removeTree(path);
    }
    MenuFiles(applicationsFolder, destination).remove();
}

StagedMenuFolder::StagedMenuFolder(const QString& applicationsFolder)
    : m_applicationsFolder(applicationsFolder) {
    m_path = makeStagingFolder(applicationsFolder);
}

StagedMenuFolder::~StagedMenuFolder() {
    if (isValid() && !m_placed) {
        fileSystem().removeTree(m_path);
    }
}

bool StagedMenuFolder::replace(const QString& destination, const QStringList& replaced) const {
    const auto aside = swapIntoPlace(m_applicationsFolder, m_path, destination, replaced);
    if (!aside) {
        return false;
    }
    m_placed = true;
    for (const QString& old : *aside) {
        fileSystem().removeTree(old);
    }
    for (const QString& name : replaced) {
        MenuFiles(m_applicationsFolder, name).remove();
    }
    return true;
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
    return fileSystem().transfer(operation, progress);
}

bool removeCopiedDataFiles(const QString& destinationPath) {
    for (const QString& name : {QStringLiteral("index.qmx"), QStringLiteral("settings.dat")}) {
        // Two list folders may have brought the same file in two spellings: all of them go.
        const FoundName found = fileSystem().find(destinationPath, name, EntryFilter::Files);
        for (const QString& spelling : found.matches) {
            if (!fileSystem().remove(joinPath(destinationPath, spelling))) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace qm
