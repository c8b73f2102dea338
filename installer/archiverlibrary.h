#pragma once

#include <QtGlobal>

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
};

qint32 Unlha(QWidget* window, const char* commandLine, char* output, qint32 size);
qint32 UnZip(QWidget* window, const char* commandLine, char* output, qint32 size);

}  // namespace qm
