#include "app/workingfolder.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QSet>

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

bool isSameWorkingFolder(const QString& named, const QString& workFolder) {
    if (named == workFolder) {
        return true;
    }
    if (named.compare(workFolder, Qt::CaseInsensitive) != 0) {
        return false;
    }
    // Another spelling: the same folder on a file system that ignores case, or a folder that is
    // not there now (a drive not mounted) remembered in lower case. Two folders that both exist
    // are two working folders.
    std::error_code ec;
    const std::filesystem::path asNamed = fsPath(named);
    const std::filesystem::path asGiven = fsPath(workFolder);
    if (!std::filesystem::exists(asGiven, ec)) {
        return true;
    }
    return std::filesystem::equivalent(asNamed, asGiven, ec) && !ec;
}

QString listFolderOf(const QString& workFolder) {
    const QString name = lastPathPart(workFolder);
    const QString own = programFolder();
    const QString exact = joinPath(own, name);
    if (name.isEmpty()) {
        return exact;
    }
    const QStringList spellings =
        folderExists(exact) ? QStringList{name} : listFolderSpellings(name);
    // Two spellings: which one is meant stays open.
    if (spellings.size() > 1) {
        return exact;
    }
    const QString found = spellings.isEmpty() ? exact : joinPath(own, spellings.first());
    const std::optional<QString> named =
        spellings.isEmpty() ? std::nullopt : readSettingsFile(found);
    if (!named || isSameWorkingFolder(*named, workFolder)) {
        return found;
    }
    // The folder of that name keeps another working folder's list: this one has a list folder
    // of its own, "<name> (2)" or the next free number, found again by its "settings.dat".
    const QString prefix = QString(name + QStringLiteral(" (")).toCaseFolded();
    QSet<QString> taken;
    for (const QString& folder : subFolderNames(own)) {
        const QString folded = folder.toCaseFolded();
        if (!folded.startsWith(prefix)) {
            continue;
        }
        taken.insert(folded);
        const std::optional<QString> owner = readSettingsFile(joinPath(own, folder));
        if (owner && *owner == workFolder) {
            return joinPath(own, folder);
        }
    }
    for (int number = 2;; ++number) {
        const QString candidate = name + QStringLiteral(" (%1)").arg(number);
        if (!taken.contains(candidate.toCaseFolded())) {
            return joinPath(own, candidate);
        }
    }
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

void tellOwnListFolder(const QString& workFolder, const QString& listFolder) {
    const QString name = lastPathPart(workFolder);
    if (lastPathPart(listFolder).compare(name, Qt::CaseInsensitive) == 0) {
        return;
    }
    const QStringList spellings = listFolderSpellings(name);
    const QString other = spellings.size() == 1 ? spellings.first() : name;
    const QString owner = readSettingsFile(joinPath(programFolder(), other)).value_or(QString());
    messageBox(QCoreApplication::translate("qm::WorkingFolder",
                                           "作業フォルダ %1 は別の管理する対象のフォルダ %2 "
                                           "のものです。\n%3 の作業フォルダとして %4 を使います。")
                   .arg(other, owner, workFolder, lastPathPart(listFolder)),
               MsgExclamation, QStringLiteral("Quillmorn"));
}

bool makeListFolder(const QString& workFolder, const QString& listFolder) {
    if (fileExists(joinPath(listFolder, QStringLiteral("settings.dat")))) {
        return true;
    }
    tellOwnListFolder(workFolder, listFolder);
    return QDir().mkpath(listFolder) && writeSettingsFile(listFolder, workFolder);
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
                   MsgExclamation, QStringLiteral("Quillmorn"));
        return false;
    }
    tellOwnListFolder(workFolder, listFolder);
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
