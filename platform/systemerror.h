#pragma once

#include <QString>

namespace qm {

// Why the system refused a change to a file (an errno value), in the interface's language.
QString systemErrorText(int error);

}  // namespace qm
