#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>

namespace qm {

// File names on Linux are bytes, not text. The program carries paths as QString, so a path is
// turned into text without losing a byte: bytes that form valid UTF-8 are that text, and every
// other byte b (0x80 to 0xFF) becomes the private-use character U+EF00 + b. A name that really
// holds one of the characters U+EF80 to U+EFFF is written the same way, byte by byte, so that the
// text always leads back to the same bytes. A name that is valid UTF-8 therefore reads as it
// always did; only names with other bytes (such as Shift-JIS names from old archives) carry the
// private-use characters, and that text is also what the list file stores for them.
QString textFromNameBytes(const QByteArray& bytes);
QByteArray nameBytesFromText(const QString& text);

std::filesystem::path fsPath(const QString& path);
QString pathText(const std::filesystem::path& path);

// A name as a person should see it: valid UTF-8 as is; other bytes read as CP932 when they are
// valid CP932; else UTF-8 with replacement characters. Takes the text form above.
QString readableName(const QString& text);

// True when text holds a byte that is not valid UTF-8 (see above).
bool holdsRawBytes(const QString& text);

// True when path names a folder (links followed) that can be listed and entered.
bool isListableFolder(const QString& path);

}  // namespace qm
