#pragma once

#include <QFile>
#include <QString>

namespace qm {

// Opens the regular file at path (a path text of the program, see fspath.h, whatever bytes its
// name holds) for reading into file. False for anything else: a missing file, a folder, or a
// FIFO or device, which could block a reader.
bool openRegularFile(QFile& file, const QString& path);

}  // namespace qm
