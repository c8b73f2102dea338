#pragma once

#include <QString>

#include "platform/fileoperation.h"

namespace qm {

// The message for a move of source into destination (the new folder) that stopped: what
// stopped it, and where its files are.
QString transferFailureText(const TransferOutcome& outcome, const QString& source,
                            const QString& destination);

}  // namespace qm
