#include "installer/installerwindows.h"

#include "app/placeholderform.h"
#include "app/windowregistry.h"

namespace qm {

void registerInstallerWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Installer, [] { return new PlaceholderForm(WindowKind::Installer, QStringLiteral("Quillmorn - インストーラー")); });
}

}  // namespace qm
