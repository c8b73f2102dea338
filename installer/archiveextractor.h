#pragma once

#include <QString>

#include <functional>

namespace qm {

// Why an extraction failed.
enum class ExtractionError {
    None,
    Open,     // the archive cannot be opened or is not an archive
    Corrupt,  // a header or data block is damaged or cut short
    Unsafe,   // an entry would land outside the destination, or is of a refused kind
    Write,    // the files cannot be written (full disk, no permission...)
};

struct ExtractionResult {
    ExtractionError error = ExtractionError::None;
    QString detail;  // what went wrong, for the archiver's output text
    bool ok() const { return error == ExtractionError::None; }
};

// Extracts an archive (LZH, ZIP, 7z, RAR, CAB, tar with or without compression) with its folders
// into a destination folder, overwriting files that are there. When every entry lies in one
// top-level folder, that folder's contents go into the destination. Nothing is written outside
// the destination, and a failed extraction leaves the destination as it was: the files go to a
// staging folder first.
// Names stored in the Windows Japanese code page come out as readable UTF-8. Runs on any thread
// and never touches the user interface.
class ArchiveExtractor {
public:
    // Called on the extracting thread with the bytes written so far and the total expected.
    using ProgressHandler = std::function<void(qint64 done, qint64 total)>;

    ArchiveExtractor(const QString& archive, const QString& destination);

    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }

    ExtractionResult extract();

private:
    QString m_archive;
    QString m_destination;
    ProgressHandler m_progress;
};

}  // namespace qm
