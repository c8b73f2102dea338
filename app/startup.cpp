#include "app/startup.h"

#include <QCoreApplication>

#include "app/endprogram.h"
#include "app/helpers.h"
#include "app/installablefile.h"
#include "app/instancerequest.h"
#include "app/programstate.h"
#include "app/recentlist.h"
#include "app/translatedtext.h"
#include "app/workingfolder.h"
#include "platform/filesystem.h"
#include "platform/instancechannel.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "platform/portablemode.h"
#include "platform/prompt.h"

namespace qm {
namespace {

const TranslatedText kNoWorkingFolderMessage{
    "qm::StartUp",
    QT_TRANSLATE_NOOP("qm::StartUp",
                      "インストール先の作業フォルダがありません。作業フォルダを選んで作成してから、"
                      "もう一度ファイルを開いてください。")};

// An existing archive or program file given as the argument ("Open with"): the installer of the
// current working folder (when the program already runs in a prepared one) or of the first
// prepared working folder of the recent list gets it; without one, the main menu opens.
std::optional<WindowKind> openWith(const QString& argumentText) {
    if (installableFile(argumentText).kind == InstallKind::None ||
        !fileSystem().status(argumentText).isFile()) {
        return std::nullopt;
    }
    ProgramState& s = state();
    s.pendingInstallFile = absolutePath(argumentText);
    const QStringList prepared = preparedWorkingFolders();
    if (!s.workFolder.isEmpty() && prepared.contains(s.workFolder)) {
        s.listFolder = listFolderOf(s.workFolder);
        return WindowKind::Installer;
    }
    for (const QString& recent : recentlist::load(QStringLiteral("lpd"), QString())) {
        // Rows keep the real spelling; an old lower-cased row counts only when it is unique.
        const FoundName folder = matchNameNoCase(prepared, recent);
        if (folder.isOne()) {
            s.workFolder = folder.name;
            s.listFolder = listFolderOf(folder.name);
            return WindowKind::Installer;
        }
    }
    return WindowKind::MainMenu;
}

}  // namespace

void startPortableMode(QStringList& arguments, const QString& executableFolder) {
    const bool switchGiven = takePortableSwitch(arguments);
    if (PortableMode::start(executableFolder, switchGiven) == PortableMode::Outcome::Unwritable) {
        messageBox(QCoreApplication::translate(
                       "qm::StartUp",
                       "ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。\n") +
                   shownPath(executableFolder));
    }
}

std::optional<WindowKind> decideStart(const QString& argumentText) {
    ProgramState& s = state();
    const QString key = argumentText.left(2).toUpper();
    if (key == QLatin1String("-I") || key == QLatin1String("-L")) {
        // A trailing separator (as shell completion types it) would leave no last path part
        // and make the program's own folder the list folder.
        const QString folder = cleanWorkFolder(argumentText.mid(3));
        // Nothing after the option: no folder to work in, so the menu.
        if (folder.isEmpty()) {
            return WindowKind::MainMenu;
        }
        if (lastPathPart(folder).isEmpty()) {
            messageBox(
                QCoreApplication::translate("qm::StartUp", "もっと深い階層を指定してください"));
            return std::nullopt;
        }
        s.workFolder = folder;
        s.listFolder = listFolderOf(s.workFolder);
        return key == QLatin1String("-I") ? WindowKind::Installer : WindowKind::Catalogue;
    }
    if (key.isEmpty()) {
        return WindowKind::MainMenu;
    }
    if (const std::optional<WindowKind> opened = openWith(argumentText)) {
        return opened;
    }
    if (!isAbsolutePath(argumentText)) {
        return std::nullopt;
    }
    if (argumentText.right(9).toUpper() == QLatin1String("INDEX.QMX")) {
        s.listFolder = parentFolder(argumentText);
        // A list folder without a readable "settings.dat" opens the menu with no working folder.
        s.workFolder = readSettingsFile(s.listFolder).value_or(QString());
        return WindowKind::MainMenu;
    }
    s.workFolder = argumentText;
    s.listFolder = listFolderOf(s.workFolder);
    return WindowKind::MainMenu;
}

QString alreadyRunningMessage() {
    return QCoreApplication::translate("qm::StartUp", "Quillmornは既に起動されています");
}

void showStartWindow(WindowKind first) {
    WindowRegistry::instance().show(first);
    if (first == WindowKind::MainMenu && !state().pendingInstallFile.isEmpty()) {
        state().pendingInstallFile.clear();
        messageBox(kNoWorkingFolderMessage);
    }
}

bool startUp(const QString& argumentText, InstanceLock& lock, InstanceChannel* channel) {
    if (!lock.tryLock()) {
        // The running instance acts on the request (or says itself that it cannot).
        if (!channel || !InstanceChannel::send(argumentText)) {
            messageBox(alreadyRunningMessage());
        }
        endProgram();
        return false;
    }
    const std::optional<WindowKind> first = decideStart(argumentText);
    if (!first) {
        endProgram();
        return false;
    }
    if (channel && channel->listen()) {
        QObject::connect(channel, &InstanceChannel::requestReceived, channel,
                         &handleInstanceRequest);
    }
    showStartWindow(*first);
    return true;
}

}  // namespace qm
