#pragma once

#include <QString>

#include <functional>

#include "installer/archiveextractor.h"

class QWidget;

namespace qm {

// A window that shows how far an extraction it started has got. The archiver functions look for
// it behind the window handle they are given.
class ExtractionProgressSink {
public:
    virtual ~ExtractionProgressSink() = default;
    virtual void extractionStarted() = 0;
    // Entries and bytes written so far; called every few milliseconds.
    virtual void extractionProgress(const ExtractionProgress& progress) = 0;
    virtual void extractionFinished() = 0;
    // True once the user asked to stop; asked every few milliseconds.
    virtual bool extractionCancelRequested() const { return false; }
};

// Runs work on a worker thread and returns when it is done. Meanwhile the wait cursor shows and
// window events keep running; tick, when given, is called every few milliseconds.
void runWhileResponsive(const std::function<void()>& work, const std::function<void()>& tick = {});

// Extracts archive into destination on a worker thread and returns when it is done. Meanwhile
// the wait cursor shows, window events keep running, and owner, when it is an
// ExtractionProgressSink, is told the progress and may cancel it.
ExtractionResult runExtraction(QWidget* owner, const QString& archive, const QString& destination);

}  // namespace qm
