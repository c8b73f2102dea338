#pragma once

#include <QString>

namespace qm {

// The program's own folder, where the list folders live: $XDG_DATA_HOME/quillmorn on Linux
// (created when missing), the executable's folder on Windows. No trailing separator.
QString programFolder();

// The running executable, which shortcuts that start the program again point at.
QString programExecutable();

// The folder where menu shortcuts go (the start menu's Programs folder on Windows,
// ~/.local/share/applications on Linux), without a trailing separator; "" when unknown.
QString applicationsFolder();

// The separator of paths as the program builds them.
inline constexpr QChar kSeparator = u'/';

// A path is absolute when it starts with the separator.
bool isAbsolutePath(const QString& path);

}  // namespace qm
