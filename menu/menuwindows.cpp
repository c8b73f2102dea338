#include "menu/menuwindows.h"

#include "app/placeholderform.h"
#include "app/windowregistry.h"

namespace qm {

void registerMenuWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::MainMenu, [] { return new PlaceholderForm(WindowKind::MainMenu, QStringLiteral("Quillmorn")); });
}

}  // namespace qm
