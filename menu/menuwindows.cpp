#include "menu/menuwindows.h"

#include "app/windowregistry.h"
#include "menu/mainmenuwindow.h"

namespace qm {

void registerMenuWindows() {
    WindowRegistry::instance().setFactory(WindowKind::MainMenu, [] { return new MainMenuWindow; });
}

}  // namespace qm
