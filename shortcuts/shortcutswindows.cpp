#include "shortcuts/shortcutswindows.h"

#include "app/windowregistry.h"
#include "shortcuts/linkwindow.h"

namespace qm {

void registerShortcutsWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Links, [] { return new LinkWindow; });
}

}  // namespace qm
