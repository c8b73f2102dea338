#pragma once

#include "catalogue/registrationsession.h"

namespace qm {

// Tells the user how a run through the unregistered rows ended: all registered, which rows are
// still unregistered, or (when asked for) that there was nothing to add.
void reportRegistration(const RegistrationSession& session, RegistrationSession::Outcome outcome,
                        bool sayNothingAdded);

}  // namespace qm
