#include "shortcuts/menuicons.h"

#include "platform/appimage.h"
#include "platform/desktopfile.h"
#include "platform/icontheme.h"
#include "platform/programicon.h"
#include "platform/programkind.h"

namespace qm {

ShortcutExtras MenuIcons::extrasFor(const QString& program) {
    ShortcutExtras extras;
    const QString name = programIconName(m_listFolder, program);
    if (exportProgramIcon(name, programIconFiles(program), program)) {
        extras.icon = name;
        m_used.insert(name);
    }
    const ProgramKind kind = programKind(program);
    if (kind == ProgramKind::AppImage) {
        extras.startupWmClass =
            describedProgram(desktopEntryValues(readAppImage(program).desktopEntry), QString())
                .startupWmClass;
    }
    if (extras.icon.isEmpty()) {
        extras.icon = kind == ProgramKind::Windows ||
                              program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)
                          ? QStringLiteral("application-x-ms-dos-executable")
                          : QStringLiteral("application-x-executable");
    }
    return extras;
}

void MenuIcons::noteRemoved(const QByteArray& shortcut) {
    const QString icon = desktopEntryValues(shortcut).value(QStringLiteral("Icon"));
    if (isProgramIconName(icon)) {
        m_removed.insert(icon);
    }
}

void MenuIcons::removeUnused() {
    for (const QString& name : std::as_const(m_removed)) {
        if (!m_used.contains(name)) {
            removeProgramIcon(name);
        }
    }
    m_removed.clear();
}

}  // namespace qm
