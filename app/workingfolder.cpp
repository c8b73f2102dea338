#include "app/workingfolder.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/fieldreader.h"
#include "app/helpers.h"
#include "platform/pathbytes.h"
#include "platform/paths.h"
#include "platform/prompt.h"
#include "platform/textfile.h"

namespace qm {

namespace {

// The sub-folders of folder whose names pass keep, sorted by name without regard to case.
// Listed as bytes: a folder whose name is not text keeps a name that leads back to it.
template <typename Keep>
QStringList listSubFolders(const QString& folder, Keep keep) {
    QStringList names;
    std::error_code ec;
    std::filesystem::directory_iterator it(fsPath(folder), ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const QString name = pathText(it->path().filename());
        if (keep(name) && it->is_directory(ec)) {
            names.append(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

// The sub-folders of the program's own folder whose names equal name without regard to case.
QStringList listFolderSpellings(const QString& name) {
    return subFolderNamesNoCase(programFolder(), name);
}

}  // namespace

QString cleanWorkFolder(const QString& path) {
    if (path.isEmpty()) {
        return path;
    }
    return QDir::cleanPath(path);
}

QString listFolderOf(const QString& workFolder) {
    const QString name = lastPathPart(workFolder);
    const QString exact = joinPath(programFolder(), name);
    if (name.isEmpty() || QFileInfo(exact).isDir()) {
        return exact;
    }
    const QStringList spellings = listFolderSpellings(name);
    return spellings.size() == 1 ? joinPath(programFolder(), spellings.first()) : exact;
}

bool settingsFileCanHold(const QString& workFolder) {
    return firstField(encodeField(workFolder) + QStringLiteral("\r\n")) == workFolder;
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
    // Two list folders that differ only in case would leave it open which one is meant.
    if (!QFileInfo(listFolder).isDir() &&
        !listFolderSpellings(lastPathPart(listFolder)).isEmpty()) {
        messageBox(QCoreApplication::translate(
                       "qm::WorkingFolder",
                       "大文字と小文字だけが違う作業フォルダが複数あるため、作業フォルダを"
                       "作成できません。\n") +
                       listFolder,
                   MsgExclamation);
        return false;
    }
    // An existing list folder is kept as it is; only "settings.dat" is rewritten.
    if (!QDir().mkpath(listFolder) || !writeSettingsFile(listFolder, workFolder)) {
        messageBox(QCoreApplication::translate("qm::WorkingFolder",
                                               "作業フォルダを作成できませんでした。\n") +
                       listFolder,
                   MsgExclamation);
        return false;
    }
    messageBox(QCoreApplication::translate("qm::WorkingFolder", "作業フォルダを作成しました。"),
               MsgOkOnly);
    return true;
}

bool isPrepared(const QString& workFolder) {
    const QString candidate = listFolderOf(workFolder);
    return folderExists(candidate) &&
           fileExists(joinPath(candidate, QStringLiteral("settings.dat")));
}

QStringList subFolderNames(const QString& folder) {
    return listSubFolders(folder, [](const QString& name) { return !name.startsWith(u'.'); });
}

QStringList subFolderNamesNoCase(const QString& folder, const QString& name) {
    return listSubFolders(folder, [&name](const QString& found) {
        return found.compare(name, Qt::CaseInsensitive) == 0;
    });
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
