#pragma once

#include <QString>

#include <atomic>
#include <functional>

namespace qm {

// Why an extraction failed.
enum class ExtractionError {
    None,
    Open,          // the archive cannot be opened or is not an archive
    Corrupt,       // a header or data block is damaged or cut short
    Unsafe,        // an entry would land outside the destination or be written through a link
    Unsupported,   // an entry of a kind that is not installed (device, pipe...)
    DiskFull,      // the working folder's file system has no room for it
    NoPermission,  // the working folder cannot be written
    Write,         // the files cannot be written for another reason
    Limit,         // the output grew far beyond what its compressed size makes plausible
    Oversized,     // reading the archive's index took more memory or time than any real one
    Cancelled,     // the user stopped it
};

struct ExtractionResult {
    ExtractionError error = ExtractionError::None;
    QString detail;  // what went wrong, for the archiver's output text
    QString entry;   // the entry concerned, when there is one
    bool ok() const { return error == ExtractionError::None; }
};

struct ExtractionProgress {
    qint64 entries = 0;     // entries written so far
    qint64 bytes = 0;       // bytes written so far
    qint64 totalBytes = 0;  // bytes expected; 0 when unknown
};

// Where an extraction stops before it hurts the machine.
struct ExtractionLimits {
    // Room left free on the working folder's file system, checked before and while writing.
    qint64 spareBytes = 16LL << 20;
    // Output beyond this many times the archive bytes read so far is refused, once more than
    // ratioFloor bytes have been written.
    qint64 ratio = 1000;
    qint64 ratioFloor = 1LL << 30;
    // Reading a 7z archive's index (in a child process) may take this much memory and time.
    qint64 indexBytes = 1LL << 30;
    int indexSeconds = 60;
};

// Extracts an archive (LZH, ZIP, 7z, RAR, CAB, tar with or without compression) with its folders
// into a destination folder, overwriting files that are there. When every entry lies in one
// top-level folder, that folder's contents go into the destination. Nothing is written outside
// the destination, and a failed or cancelled extraction leaves the destination as it was: the
// files go to a staging folder first.
// Names stored in the Windows Japanese code page come out as readable UTF-8. Runs on any thread
// and never touches the user interface.
class ArchiveExtractor {
public:
    // Called on the extracting thread as entries and bytes are written.
    using ProgressHandler = std::function<void(const ExtractionProgress&)>;

    ArchiveExtractor(const QString& archive, const QString& destination);

    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }
    // Set from any thread, the flag stops the extraction at the next block.
    void setCancelFlag(const std::atomic<bool>* cancel) { m_cancel = cancel; }
    void setLimits(const ExtractionLimits& limits) { m_limits = limits; }

    ExtractionResult extract();

private:
    QString m_archive;
    QString m_destination;
    ProgressHandler m_progress;
    const std::atomic<bool>* m_cancel = nullptr;
    ExtractionLimits m_limits;
};

}  // namespace qm
