#include "app/workingfolder.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>

#include <algorithm>

#include "app/fieldreader.h"
#include "app/helpers.h"
#include "platform/paths.h"
#include "platform/prompt.h"
#include "platform/textfile.h"

namespace qm {

QString listFolderOf(const QString& workFolder) {
    return programFolder() + kSeparator + lastPathPart(workFolder);
}

QString fileInFolder(const QString& folder, const QString& name) {
    const QString exact = joinPath(folder, name);
    if (QFileInfo(exact).isFile()) {
        return exact;
    }
    const QString found = findFileNoCase(exact);
    return found.isEmpty() ? exact : found;
}

QString settingsFileOf(const QString& listFolder) {
    return fileInFolder(listFolder, QStringLiteral("settings.dat"));
}

QString listFileOf(const QString& listFolder) {
    return fileInFolder(listFolder, QStringLiteral("index.qmx"));
}

bool writeSettingsFile(const QString& listFolder, const QString& workFolder) {
    const QString line = encodeField(workFolder) + QStringLiteral("\r\n");
    return saveFileAtomically(settingsFileOf(listFolder), encodeText(line));
}

std::optional<QString> readSettingsFile(const QString& listFolder) {
    QString text;
    if (!readTextFile(settingsFileOf(listFolder), &text)) {
        return std::nullopt;
    }
    return firstField(text);
}

bool prepareWorkingFolder(const QString& workFolder) {
    const QString listFolder = listFolderOf(workFolder);
    // An existing list folder is kept as it is; only "settings.dat" is rewritten.
    if (!QDir().mkpath(listFolder) || !writeSettingsFile(listFolder, workFolder)) {
        messageBox(QCoreApplication::translate("qm::WorkingFolder",
                                               "作業フォルダを作成できませんでした。\n") +
                       listFolder,
                   MsgExclamation, QStringLiteral("Quillmorn"));
        return false;
    }
    messageBox(QCoreApplication::translate("qm::WorkingFolder", "作業フォルダを作成しました。"),
               MsgOkOnly, QStringLiteral("Quillmorn"));
    return true;
}

bool isPrepared(const QString& workFolder) {
    const QString candidate = listFolderOf(workFolder);
    return folderExists(candidate) &&
           fileExists(joinPath(candidate, QStringLiteral("settings.dat")));
}

QStringList subFolderNames(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(u'.')) {
            names.append(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QStringList preparedWorkingFolders() {
    QStringList folders;
    const QString own = programFolder();
    const QStringList names = subFolderNames(own);
    for (const QString& name : names) {
        const QString listFolder = joinPath(own, name);
        if (!fileExists(joinPath(listFolder, QStringLiteral("settings.dat")))) {
            continue;
        }
        if (const auto workFolder = readSettingsFile(listFolder)) {
            folders.append(*workFolder);
        }
    }
    return folders;
}

}  // namespace qm
