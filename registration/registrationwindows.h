#pragma once

namespace qm {

// Registers this folder's windows with the window registry.
void registerRegistrationWindows();

}  // namespace qm
