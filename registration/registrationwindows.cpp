#include "registration/registrationwindows.h"

#include "app/windowregistry.h"
#include "registration/registrationwindow.h"

namespace qm {

void registerRegistrationWindows() {
    WindowRegistry::instance().setFactory(WindowKind::Registration,
                                          [] { return new RegistrationWindow(); });
}

}  // namespace qm
