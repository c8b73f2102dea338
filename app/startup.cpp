#include "app/startup.h"

#include "app/endprogram.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "app/workingfolder.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "platform/prompt.h"

namespace qm {

std::optional<WindowKind> decideStart(const QString& argumentText) {
    ProgramState& s = state();
    const QString key = argumentText.left(2).toUpper();
    if (key == QLatin1String("-I") || key == QLatin1String("-L")) {
        // A trailing separator (as shell completion types it) would leave no last path part
        // and make the program's own folder the list folder.
        const QString folder = cleanWorkFolder(argumentText.mid(3));
        if (!folder.isEmpty() && lastPathPart(folder).isEmpty()) {
            messageBox(QStringLiteral("もっと深い階層を指定してください"));
            return std::nullopt;
        }
        s.workFolder = folder;
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
        messageBox(QStringLiteral("Quillmornは既に起動されています"));
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
