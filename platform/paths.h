#pragma once

#include <QString>

namespace qm {

// The program's own folder, where the list folders live: the executable's folder in portable mode
// and on Windows, else $XDG_DATA_HOME/quillmorn (created when missing). No trailing separator.
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

// path without doubled separators, "." and ".." parts and a trailing separator (the text alone is
// looked at; links are not resolved).
QString cleanPath(const QString& path);

// path made absolute against the current folder, cleaned.
QString absolutePath(const QString& path);

// Makes folder the process's current folder for as long as it lives, so that relative paths that
// were typed elsewhere (by a later start of the program) are read against the folder they were
// typed in; the previous current folder comes back after.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const QString& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    QString m_previous;
};

// A path as a person is shown it: native separators, and names that are not text read as the
// code page of old Windows systems when they can be (see readableName()).
QString shownPath(const QString& path);

}  // namespace qm
