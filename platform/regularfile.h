#pragma once

#include <QFile>
#include <QString>

namespace qm {

// Opens the regular file at path (a path text of the program, see fspath.h, whatever bytes its
// name holds) for reading into file. False for anything else: a missing file, a folder, or a
// FIFO or device, which could block a reader.
bool openRegularFile(QFile& file, const QString& path);

// Copies the regular file from to the new file to, with from's permissions; withExecute adds the
// execute bits that go with its read bits. False when to exists or anything fails, and then no
// part of to is left.
bool copyRegularFile(const QString& from, const QString& to, bool withExecute);

}  // namespace qm
