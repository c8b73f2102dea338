#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>

#include "app/endprogram.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "app/workingfolder.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "platform/portablemode.h"
#include "platform/prompt.h"

namespace qm {

void startPortableMode(QStringList& arguments, const QString& executableFolder) {
    const bool switchGiven = takePortableSwitch(arguments);
    if (PortableMode::start(executableFolder, switchGiven) == PortableMode::Outcome::Unwritable) {
        messageBox(QCoreApplication::translate(
                       "qm::StartUp",
                       "ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。\n") +
                   QDir::toNativeSeparators(executableFolder));
    }
}

std::optional<WindowKind> decideStart(const QString& argumentText) {
    ProgramState& s = state();
    const QString key = argumentText.left(2).toUpper();
    if (key == QLatin1String("-I") || key == QLatin1String("-L")) {
        s.workFolder = argumentText.mid(3);
        s.listFolder = listFolderOf(s.workFolder);
        return key == QLatin1String("-I") ? WindowKind::Installer : WindowKind::Catalogue;
    }
    if (key.isEmpty()) {
        return WindowKind::MainMenu;
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

bool startUp(const QString& argumentText, InstanceLock& lock) {
    if (!lock.tryLock()) {
        messageBox(QCoreApplication::translate("qm::StartUp", "Quillmornは既に起動されています"));
        endProgram();
        return false;
    }
    const std::optional<WindowKind> first = decideStart(argumentText);
    if (!first) {
        endProgram();
        return false;
    }
    WindowRegistry::instance().show(*first);
    return true;
}

}  // namespace qm
