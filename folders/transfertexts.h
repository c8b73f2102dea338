#pragma once

#include <QString>

#include "platform/fileoperation.h"

namespace qm {

// Why the system refused a change to a file, in the interface's language.
QString systemErrorText(int error);

// The message for a move of source into destination (the new folder) that stopped: what
// stopped it, and where its files are.
QString transferFailureText(const TransferOutcome& outcome, const QString& source,
                            const QString& destination);

}  // namespace qm
