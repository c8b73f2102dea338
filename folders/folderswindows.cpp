#include "folders/folderswindows.h"

#include "app/placeholderform.h"
#include "app/windowregistry.h"

namespace qm {

void registerFoldersWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Move, [] { return new PlaceholderForm(WindowKind::Move, QStringLiteral("フォルダの移動")); });
}

}  // namespace qm
