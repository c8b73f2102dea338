#include "catalogue/cataloguewindows.h"

#include "app/windowregistry.h"
#include "catalogue/cataloguewindow.h"
#include "catalogue/splashwindow.h"

namespace qm {

void registerCatalogueWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Catalogue, [] { return new CatalogueWindow(); });
    registry.setFactory(WindowKind::Splash, [] { return new SplashWindow(); });
}

}  // namespace qm
