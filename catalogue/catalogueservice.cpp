#include "catalogue/catalogueservice.h"

#include "app/busycursor.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "app/workingfolder.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/cataloguemodel.h"
#include "catalogue/listfile.h"
#include "platform/fileoperation.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "platform/prompt.h"

namespace qm {

CatalogueService::CatalogueService(CatalogueModel& model) : m_model(model) {}

void CatalogueService::setFolders(const QString& workFolder, const QString& listFolder) {
    m_workFolder = workFolder;
    m_listFolder = listFolder;
}

void CatalogueService::load(EventPump& pump) {
    const QString listFile = listFileOf(m_listFolder);
    m_listOnDisk = fileSystem().status(listFile);
    scanWorkingFolder(m_model, m_workFolder, pump);
    const MergeResult merged = mergeListFile(m_model, m_workFolder, listFile, pump);
    if (merged.dropped) {
        m_listChanged = true;
    }
    m_unlisted = merged.unlisted;
    if (!merged.missingFolders.isEmpty()) {
        tellMissingFolders(merged.missingFolders);
    }
    if (merged.misread) {
        m_listNeedsBackup = true;
        messageBox(listFile +
                       tr(" を最後まで正しく読み込めませんでした。\n"
                          "読み込めなかった登録情報がある可能性があります。上書き保存するときは、"
                          "元のファイルを ") +
                       lastPathPart(listBackupPath(listFile)) + tr(" として残します。"),
                   MsgExclamation);
    }
}

void CatalogueService::refreshIcons(EventPump& pump, const std::vector<int>& first) {
    qm::refreshIcons(m_model, first, pump);
}

QStringList CatalogueService::folderNames() const {
    QStringList names;
    names.reserve(m_model.rowCount());
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (!m_model.entry(row).folder.isEmpty()) {
            names.append(m_model.entry(row).folder);
        }
    }
    return names;
}

void CatalogueService::tellUnfinishedMoves(const QStringList& marked) {
    QStringList lines;
    for (const QString& name : marked) {
        const QString folder = joinPath(m_workFolder, name);
        QByteArray source;
        if (fileSystem().readFile(joinPath(folder, QLatin1String(kUnfinishedMoveMark)), &source,
                                  nullptr)) {
            lines.append(tr("%1（移動元: %2）").arg(folder, textFromNameBytes(source)));
        }
    }
    if (!lines.isEmpty()) {
        messageBox(
            tr("次のフォルダへの移動は途中で終わっています。移動元のフォルダを同じ作業フォルダ"
               "へもう一度移動すると、移動が完了します。") +
                u'\n' + lines.join(u'\n'),
            MsgExclamation);
    }
}

void CatalogueService::tellMissingFolders(const QStringList& folders) {
    // A long list is cut: the message box must still fit the screen.
    constexpr int kShown = 20;
    QStringList lines;
    for (const QString& folder : folders.mid(0, kShown)) {
        lines.append(readableName(folder));
    }
    if (folders.size() > kShown) {
        lines.append(tr("ほか %1 件").arg(folders.size() - kShown));
    }
    messageBox(tr("次のフォルダが %1 にないため、その登録情報はリストを保存するときに除かれます。")
                       .arg(m_workFolder) +
                   u'\n' + lines.join(u'\n'),
               MsgExclamation);
}

namespace {

// Whether a save may write without asking: there is no list on disk now that another program
// wrote after the load. A list saved meanwhile differs in one of these; a list that is gone, or a
// place that holds no file (the user cleared what stood in the way), holds nothing to lose.
bool unchangedSince(const FileStatus& then, const FileStatus& now) {
    if (!now.isFile()) {
        return true;
    }
    return then.isFile() && then.sameFileAs(now) && then.size == now.size &&
           then.modifiedNs == now.modifiedNs && then.changedNs == now.changedNs;
}

// "index (2).qmx" beside "index.qmx", or the next free number.
QString freeCopyPath(const QString& listFile) {
    const qsizetype dot = listFile.lastIndexOf(u'.');
    const qsizetype slash = listFile.lastIndexOf(u'/');
    const QString stem = dot > slash ? listFile.left(dot) : listFile;
    const QString suffix = dot > slash ? listFile.mid(dot) : QString();
    QString copy;
    for (int number = 2; copy.isEmpty() || fileSystem().status(copy).exists(); ++number) {
        copy = stem + QStringLiteral(" (%1)").arg(number) + suffix;
    }
    return copy;
}

}  // namespace

CatalogueService::SaveOutcome CatalogueService::save() {
    if (!m_listChanged) {
        return SaveOutcome::Unchanged;
    }
    m_listChanged = false;
    const int answer = messageBox(tr("実行するにはリストの保存が必要です。\n"
                                     "変更を上書き保存しますか？"),
                                  MsgYesNo);
    if (answer != AnswerYes) {
        return SaveOutcome::Declined;
    }
    // A catalogue opened on a working folder that was never prepared makes its list folder now.
    if (!makeListFolder(m_workFolder, m_listFolder)) {
        messageBox(m_listFolder + tr(" に保存できませんでした。\n"), MsgExclamation);
        m_listChanged = true;
        return SaveOutcome::Failed;
    }
    const QString listFile = listFileOf(m_listFolder);
    QString path = resolveChangedList(listFile);
    if (path.isEmpty()) {
        return SaveOutcome::Reloaded;
    }
    const bool copy = path != listFile;
    QString error;
    // A misread list keeps its old file beside the new one.
    QString backup;
    if (path == listFile && m_listNeedsBackup && !backUpListFile(path, &backup, &error)) {
        messageBox(path + tr(" の控えを ") + backup +
                       tr(" に作れなかったため、保存しませんでした。\n") + error,
                   MsgExclamation);
        m_listChanged = true;
        return SaveOutcome::Failed;
    }
    const QList<CatalogueEntry> rows = m_model.entries() + m_unlisted;
    bool saved = saveListFile(path, rows, &error, copy ? Existing::Keep : Existing::Replace);
    // Another program may take the free name of the copy first: the copy takes the next one.
    for (int tries = 0; !saved && copy && fileSystem().status(path).exists() && tries < 100;
         ++tries) {
        path = freeCopyPath(listFile);
        saved = saveListFile(path, rows, &error, Existing::Keep);
    }
    if (!saved) {
        messageBox(path + tr(" に保存できませんでした。\n") + error, MsgExclamation);
        m_listChanged = true;
        return SaveOutcome::Failed;
    }
    if (path == listFile) {
        m_listNeedsBackup = false;
        m_listOnDisk = fileSystem().status(path);
    }
    return SaveOutcome::Saved;
}

QString CatalogueService::resolveChangedList(const QString& path) {
    if (unchangedSince(m_listOnDisk, fileSystem().status(path))) {
        return path;
    }
    enum { Reload, Overwrite, KeepBoth };
    const int choice =
        chooseButton(path + tr(" は、読み込んだ後にほかのところで変更されています"
                               "（同じリストを開いている別の Quillmorn など）。\n"
                               "上書きすると、その変更は失われます。"),
                     {tr("読み込み直す"), tr("上書き保存"), tr("両方残す")}, KeepBoth);
    if (choice == Overwrite) {
        return path;
    }
    if (choice == Reload) {
        // Our changes give way to the list on disk.
        EventPump pump;
        load(pump);
        m_listChanged = false;
        return QString();
    }
    return freeCopyPath(path);
}

bool CatalogueService::deleteRow(int row) {
    if (row < 0 || row >= m_model.rowCount() || !checkFolderName(row)) {
        return false;
    }
    const QString path = folderPathOfRow(row);
    enum { ToTrash, ForGood, Keep };
    const int choice = chooseButton(
        path + tr(" フォルダを削除します。\n"
                  "セットアップ、インストールされたソフトを消すと、システムに影響が出る"
                  "場合があります。アンインストールの指示があればReadme.txt等のドキュ"
                  "メントに従ってください。\n削除しますか？"),
        {tr("ごみ箱に移動"), tr("完全に削除"), tr("キャンセル")}, ToTrash);
    // Deleting for good is asked once more; so is it where the trash cannot take the folder (a
    // file system in memory), as the one way left.
    QString forGood;
    int flags = MsgYesNo | MsgDefaultNo;
    QString trashError;
    if (choice == ToTrash && !fileSystem().trash(path, &trashError)) {
        forGood = path + tr(" をごみ箱に移動できませんでした。\n") + trashError +
                  tr("\n代わりに完全に削除しますか？元に戻すことはできません。");
        flags |= MsgExclamation;
    } else if (choice == ForGood) {
        forGood = path + tr(" を完全に削除します。元に戻すことはできません。\n削除しますか？");
    } else if (choice != ToTrash) {
        return false;
    }
    if (!forGood.isEmpty()) {
        if (messageBox(forGood, flags) != AnswerYes) {
            return false;
        }
        fileSystem().removeTree(path);
    }
    m_listChanged = true;
    // The result of the deletion does not say whether the folder is gone; the disk does. A
    // deletion that failed or was refused keeps the row, and so the record.
    if (fileSystem().status(path).exists() || row >= m_model.rowCount()) {
        return false;
    }
    m_model.removeEntry(row);
    return true;
}

void CatalogueService::launchRow(int row) {
    if (row < 0 || row >= m_model.rowCount()) {
        return;
    }
    const QString exe = programFileOnDisk(m_model.entry(row).exe);
    if (exe.isEmpty()) {
        return;
    }
    QString error;
    if (!fileSystem().launch(exe, {}, FsPath(), &error)) {
        messageBox(exe + tr(" を起動できませんでした。\n") + error, MsgExclamation);
    }
}

void CatalogueService::openRow(int row) {
    if (row < 0 || row >= m_model.rowCount()) {
        return;
    }
    const QString path = folderPathOfRow(row);
    if (!fileSystem().open(path)) {
        messageBox(path + tr(" を開けませんでした。"), MsgExclamation);
    }
}

bool CatalogueService::moveRow(int row, const std::function<bool()>& showMoveWindow) {
    if (row < 0 || row >= m_model.rowCount() || !checkFolderName(row)) {
        return false;
    }
    ProgramState& s = state();
    s.moveSource = folderPathOfRow(row);
    if (!showMoveWindow()) {
        return false;
    }
    bool removed = false;
    if (!s.moveSource.isEmpty() && row < m_model.rowCount()) {
        m_model.removeEntry(row);
        m_listChanged = true;
        removed = true;
    }
    // A destination outside the known working folders keeps this catalogue open.
    if (s.moveTarget == QLatin1String("E")) {
        s.moveTarget.clear();
    }
    return removed;
}

QString CatalogueService::folderPathOfRow(int row) const {
    return joinPath(m_workFolder, m_model.entry(row).folder);
}

bool CatalogueService::checkFolderName(int row) const {
    // A folder text that is not one plain name would point at the working folder itself or
    // somewhere outside it.
    const QString folder = m_model.entry(row).folder;
    const bool plain = !folder.isEmpty() && folder != QLatin1String(".") &&
                       folder != QLatin1String("..") && !folder.contains(u'/');
    if (!plain) {
        messageBox(tr("フォルダ名「") + folder + tr("」は作業対象のフォルダ名として使えません。"),
                   MsgExclamation);
    }
    return plain;
}

}  // namespace qm
