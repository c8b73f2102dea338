#pragma once

#include <QString>

#include "app/installablefile.h"

namespace qm {

// The kind of an archive by what it holds rather than its name: LZH and ZIP by their headers,
// the other formats the installer takes as Archive. None when the file is no such archive.
InstallKind archiveKindBySignature(const QString& path);

}  // namespace qm
