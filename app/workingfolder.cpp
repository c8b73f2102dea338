#include "app/workingfolder.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <vector>

#include "app/fieldreader.h"
#include "app/helpers.h"
#include "platform/filesystem.h"
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
    for (QString& name : fileSystem().listFolderNames(folder).value_or(QStringList())) {
        if (keep(name)) {
            names.append(std::move(name));
        }
    }
    // Letter case aside, then by the exact text. A name of plain ASCII is compared by its lower
    // case, made once, which orders it as the case-blind compare would.
    struct Named {
        QString name;
        QString lower;  // null when the name is not plain ASCII
    };
    std::vector<Named> sorted;
    sorted.reserve(names.size());
    for (QString& name : names) {
        const bool ascii =
            std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x80; });
        QString lower = ascii ? name.toLower() : QString();
        sorted.push_back({std::move(name), std::move(lower)});
    }
    std::sort(sorted.begin(), sorted.end(), [](const Named& a, const Named& b) {
        const int c = !a.lower.isNull() && !b.lower.isNull()
                          ? a.lower.compare(b.lower)
                          : a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i) {
        names[i] = std::move(sorted[i].name);
    }
    return names;
}

// The list folder called name, under the one rule for letter case.
FoundName findListFolder(const QString& name) {
    return fileSystem().find(programFolder(), name, EntryFilter::Folders);
}

}  // namespace

QString cleanWorkFolder(const QString& path) {
    if (path.isEmpty()) {
        return path;
    }
    return cleanPath(path);
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
    const FileStatus given = fileSystem().status(workFolder);
    return !given.exists() || given.sameFileAs(fileSystem().status(named));
}

QString listFolderOf(const QString& workFolder) {
    const QString name = lastPathPart(workFolder);
    const QString own = programFolder();
    const QString exact = joinPath(own, name);
    if (name.isEmpty()) {
        return exact;
    }
    const FoundName spelling = findListFolder(name);
    // Two spellings and neither exact: which one is meant stays open.
    if (spelling.outcome == FoundName::Outcome::Ambiguous) {
        return exact;
    }
    const QString found = spelling.isOne() ? joinPath(own, spelling.name) : exact;
    const std::optional<QString> named = spelling.isOne() ? readSettingsFile(found) : std::nullopt;
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
    if (fileSystem().status(exact).isFile()) {
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
    return fileSystem().writeFile(settingsFileOf(listFolder), encodeText(line));
}

std::optional<QString> readSettingsFile(const QString& listFolder) {
    QByteArray bytes;
    if (!fileSystem().readFile(settingsFileOf(listFolder), &bytes)) {
        return std::nullopt;
    }
    return firstField(decodeText(bytes));
}

void tellOwnListFolder(const QString& workFolder, const QString& listFolder) {
    const QString name = lastPathPart(workFolder);
    if (lastPathPart(listFolder).compare(name, Qt::CaseInsensitive) == 0) {
        return;
    }
    const FoundName spelling = findListFolder(name);
    const QString other = spelling.isOne() ? spelling.name : name;
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
    return fileSystem().makeFolder(listFolder, true) && writeSettingsFile(listFolder, workFolder);
}

bool prepareWorkingFolder(const QString& workFolder) {
    const QString listFolder = listFolderOf(workFolder);
    // Two list folders that differ only in case would leave it open which one is meant.
    if (!fileSystem().status(listFolder).isFolder() &&
        findListFolder(lastPathPart(listFolder)).outcome != FoundName::Outcome::None) {
        messageBox(QCoreApplication::translate(
                       "qm::WorkingFolder",
                       "大文字と小文字だけが違う作業フォルダが複数あるため、作業フォルダを"
                       "作成できません。\n") +
                       listFolder,
                   MsgExclamation);
        return false;
    }
    tellOwnListFolder(workFolder, listFolder);
    // An existing list folder is kept as it is; only "settings.dat" is rewritten.
    if (!fileSystem().makeFolder(listFolder, true) || !writeSettingsFile(listFolder, workFolder)) {
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
