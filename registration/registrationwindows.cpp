#include "registration/registrationwindows.h"

#include "app/placeholderform.h"
#include "app/windowregistry.h"

namespace qm {

void registerRegistrationWindows() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Registration, [] { return new PlaceholderForm(WindowKind::Registration, QStringLiteral(" の設定")); });
}

}  // namespace qm
