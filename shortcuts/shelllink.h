#pragma once

#include <QByteArray>
#include <QString>

namespace qm {

// A Windows Shell Link (".lnk") in its documented binary layout: the header, a LinkInfo holding
// the target as the local base path (ANSI and Unicode), and the working directory and the
// arguments as Unicode string data. Separators are written as "\". Throws ShortcutError when a
// value is too long for the format.
QByteArray shellLink(const QString& target, const QString& arguments,
                     const QString& workingDirectory);

}  // namespace qm
