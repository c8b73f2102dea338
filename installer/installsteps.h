#pragma once

#include <QString>

class QWidget;

namespace qm {

// Installation of what the two archivers do not take, with the same staging and safety rules.
// Each reports a failure in a message box of its own. Result: 0 done, 1 failed.

// Extracts a 7z, RAR, CAB or tar archive (compressed or not) into folder.
qint32 archiveMelt(QWidget* window, const QString& archive, const QString& folder);

// Copies a single program file into folder, which it creates; an AppImage gets its execute bit.
qint32 programPlace(const QString& file, const QString& folder);

}  // namespace qm
