// qmorn: the main program.

#include <QApplication>

#include "app/appearance.h"
#include "app/language.h"
#include "app/startup.h"
#include "catalogue/cataloguewindows.h"
#include "folders/folderswindows.h"
#include "installer/installerwindows.h"
#include "menu/menuwindows.h"
#include "platform/instancechannel.h"
#include "platform/instancelock.h"
#include "platform/prompt.h"
#include "platform/startuptime.h"
#include "platform/timezone.h"
#include "platform/utf8locale.h"
#include "registration/registrationwindows.h"
#include "shortcuts/shortcutswindows.h"

int main(int argc, char* argv[]) {
    qm::readTimeZoneOnce();
    QApplication app(argc, argv);
    qm::ensureUtf8Locale();
    // Japanese is the language of the code; English comes from the built-in translation.
    qm::installTranslations(qm::chooseLanguage());
    QApplication::setApplicationName(QStringLiteral("quillmorn"));
    QApplication::setDesktopFileName(QStringLiteral("quillmorn"));
    // The program decides itself when it ends (see WindowRegistry and endProgram()).
    QApplication::setQuitOnLastWindowClosed(false);
    qm::Prompt::setDefaultTitle(QStringLiteral("quillmorn"));
    qm::useProgramLook();

    qm::registerMenuWindows();
    qm::registerCatalogueWindows();
    qm::registerRegistrationWindows();
    qm::registerFoldersWindows();
    qm::registerInstallerWindows();
    qm::registerShortcutsWindows();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    qm::startPortableMode(arguments, QApplication::applicationDirPath());
    qm::InstanceLock lock;
    qm::InstanceChannel channel;
    if (!qm::startUp(arguments.join(u' '), lock, &channel)) {
        return 0;
    }
    qm::reportStartupTimeWhenAsked();
    return QApplication::exec();
}
