#include "shortcuts/shortcutswindows.h"

#include "app/placeholderform.h"
#include "app/windowregistry.h"

namespace qm {

void registerShortcutsWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Links, [] {
        return new PlaceholderForm(WindowKind::Links, QStringLiteral("Quillmorn - リンク作成"));
    });
}

}  // namespace qm
