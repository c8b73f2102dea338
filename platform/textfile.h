#pragma once

#include <QByteArray>
#include <QString>

namespace qm {

// Bytes that are valid UTF-8 are read as UTF-8 (a byte-order mark is dropped); anything else is
// read as CP932, the code page of files written on a Japanese Windows system.
QString decodeText(const QByteArray& bytes);

// Text the program writes is UTF-8.
QByteArray encodeText(const QString& text);

// Reads a whole file and decodes it; false (with a reason) when it cannot be opened or read.
bool readTextFile(const QString& path, QString* text, QString* error = nullptr);

// Replaces a file atomically: a failed or interrupted save leaves the old file whole.
bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace qm
