#pragma once

#include <QtGlobal>

#include "installer/archiveextractor.h"

class QWidget;

namespace qm {

// The two archiver entry points: each takes the owner window, a command line in the local
// encoding, an output buffer and its size, and returns 0 when the archive was extracted. The
// output buffer receives a short account of the run (always NUL-terminated when size > 0).
//
// Unlha: "<command> <switches...> <archive> <destination>/", command "e" or "x".
// UnZip: "<options...> <archive> <destination>/".
// Paths holding spaces are in double quotes. Switches and options are accepted as given; both
// always extract with the archive's folders, silently, overwriting, and never write outside the
// destination folder. While they run, window events keep running and the owner window, when it
// is an ExtractionProgressSink, shows the progress.

// Results other than 0.
enum ArchiverError : qint32 {
    kArchiverCommandLine = 0x8001,  // the command line cannot be understood
    kArchiverOpen = 0x8002,         // the archive cannot be opened
    kArchiverCorrupt = 0x8003,      // the archive is damaged or cut short
    kArchiverUnsafe = 0x8004,       // an entry would land outside the destination
    kArchiverWrite = 0x8005,        // the files cannot be written
    kArchiverUnsupported = 0x8006,  // an entry of a kind that is not installed
    kArchiverDiskFull = 0x8007,     // no room on the destination's file system
    kArchiverPermission = 0x8008,   // the destination's folder cannot be written
    kArchiverLimit = 0x8009,        // the output grew beyond what the archive makes plausible
    kArchiverCancelled = 0x800A,    // the user stopped it
};

// On failure the output holds libarchive's or the archiver's account on its first line and the
// entry concerned, when there is one, on the second.
qint32 Unlha(QWidget* window, const char* commandLine, char* output, qint32 size);
qint32 UnZip(QWidget* window, const char* commandLine, char* output, qint32 size);

// The failure an archiver reported through its result and output.
ExtractionResult archiverFailure(qint32 result, const char* output);

}  // namespace qm
