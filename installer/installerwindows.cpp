#include "installer/installerwindows.h"

#include "app/windowregistry.h"
#include "installer/installerwindow.h"

namespace qm {

void registerInstallerWindows() {
    WindowRegistry::instance().setFactory(WindowKind::Installer,
                                          [] { return new InstallerWindow(); });
}

}  // namespace qm
