#pragma once

#include <QPixmap>
#include <QString>

namespace qm {

// The icon shown for a program file: the first icon of a Windows executable's resources at the
// given size (32 or 16), or the platform's icon for that kind of file. A null pixmap when the
// file does not exist.
QPixmap programIcon(const QString& path, int size);

}  // namespace qm
