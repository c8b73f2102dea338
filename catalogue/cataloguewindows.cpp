#include "catalogue/cataloguewindows.h"

#include "app/placeholderform.h"
#include "app/windowregistry.h"

namespace qm {

void registerCatalogueWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Catalogue, [] { return new PlaceholderForm(WindowKind::Catalogue, QStringLiteral("Quillmorn ListView - ")); });
    registry.setFactory(WindowKind::Splash, [] { return new PlaceholderForm(WindowKind::Splash, QStringLiteral("Quillmorn")); });
}

}  // namespace qm
