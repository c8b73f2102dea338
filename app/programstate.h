#pragma once

#include <QString>

#include <array>

#include "platform/fileoperation.h"

namespace qm {

// The variables every window of the program shares: the only channel between windows. It lives
// for the whole run, starts empty, and is never saved.
struct ProgramState {
    QString workFolder;  // the working folder, whose sub-folders are the program folders
    QString listFolder;  // the folder that holds "index.qmx" and "settings.dat"

    // Exchange record with the registration dialog.
    qint16 editState = 0;
    QString editName;
    QString editFolder;
    QString editCategory;
    QString editExe;
    QString editDescription;
    // 0 saved, 1 cancelled, 2 saved and next, 3 saved and previous.
    qint16 editResult = 0;

    bool newFolderPending = false;  // a folder was just installed or a move was started
    QString newFolderName;          // the folder just installed
    QString pendingInstallFile;     // a file to install, given on the command line ("Open with")
    QString moveSource;             // the program folder to move
    QString moveTarget;             // destination working folder, "E" for elsewhere, or ""

    // Categories met so far; slot 0 is never used, slots 1 to 30 hold categories.
    std::array<QString, 31> categoryTable;

    FileOperation fileOp;

    // Back to the state of a new run (tests).
    void reset() { *this = ProgramState(); }
};

ProgramState& state();

}  // namespace qm
