#include "app/otherwindowsheld.h"

#include "app/form.h"
#include "app/windowregistry.h"

namespace qm {

OtherWindowsHeld::OtherWindowsHeld(const Form* keep) {
    for (Form* form : WindowRegistry::instance().loadedWindows()) {
        if (form != keep && form->kind() != WindowKind::Splash && form->isEnabled()) {
            form->setEnabled(false);
            m_held.append(form);
        }
    }
}

OtherWindowsHeld::~OtherWindowsHeld() {
    for (const QPointer<Form>& form : std::as_const(m_held)) {
        if (form) {
            form->setEnabled(true);
        }
    }
}

}  // namespace qm
