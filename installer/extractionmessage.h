#pragma once

#include <QString>

#include "installer/archiveextractor.h"

namespace qm {

// What the user reads when an extraction failed: the cause, the entry concerned when there is
// one, and what can be done about it, in the interface's language. Empty for a cancelled one.
QString extractionFailureText(const ExtractionResult& result);

}  // namespace qm
