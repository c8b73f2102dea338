#pragma once

#include <QString>

namespace qm {

// Parameter block of a shell file operation: what the move window and the link window fill
// before calling shellFileOperation().
struct FileOperation {
    enum Function : unsigned { Move = 1, Copy = 2 };
    enum Flag : unsigned { Silent = 0x4, NoConfirmation = 0x10 };

    quintptr hwnd = 0;
    unsigned wFunc = 0;
    QString pFrom;  // source folder + "/*.*" followed by two NUL characters
    QString pTo;    // destination folder followed by two NUL characters
    unsigned fFlags = 0;
};

// Moves or copies everything inside the source folder (files and sub-folders) into the
// destination folder, silently, overwriting. 0 on success, another number on failure.
int shellFileOperation(const FileOperation& operation);

}  // namespace qm
