#pragma once

#include <QString>

#include <atomic>

struct archive;
struct archive_entry;

namespace qm {

// How an archive's names are read: as stored (UTF-8 in practice), as the Windows Japanese code
// page (CP932), or as bytes, each byte one character, to be given back as the same bytes.
enum class NameReading { AsStored, Japanese, Bytes };

// The name libarchive gives for an entry, as the bytes the archive holds.
QByteArray storedName(const char* name, NameReading reading);

// A libarchive reader for one archive file, freed on destruction.
class ArchiveReader {
public:
    ArchiveReader() = default;
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Opens path, to read the names as reading says. headersOnly suits a reader that skips every
    // entry's data: it reads in small blocks.
    bool openArchive(const QString& path, NameReading reading, bool headersOnly = false);

    // The next entry's header: a libarchive status (ARCHIVE_OK, ARCHIVE_EOF, ...).
    int next(archive_entry** entry);

    // After the last header: true when the archive is an LZH cut off where its zero byte that
    // marks the end should be, so cut exactly between two members.
    bool endMarkerMissing() const;

    archive* handle() const { return m_archive; }
    // libarchive's account of the last failure, or "" when it gave none.
    QString libraryError() const;
    // The same, or a general text when libarchive gave none.
    QString errorText() const;

private:
    archive* m_archive = nullptr;
    qint64 m_fileSize = 0;
};

// What a first reading of an archive's headers found.
struct ArchiveSurvey {
    bool opened = false;    // the file is an archive of a known kind
    bool readable = false;  // every header could be read
    NameReading names = NameReading::AsStored;
    bool cancelled = false;  // the flag stopped it
    qint64 totalBytes = 0;   // sum of the entries' sizes; 0 when unknown
    QString error;
};

// Reads the headers once to decide how the names are encoded, from the evidence of all of them:
// valid UTF-8 names stay UTF-8 unless they can only be Japanese in the legacy code page (CP932);
// names that are not UTF-8 are read as CP932 when that makes them Japanese, else kept as bytes.
// A compressed stream is not read ahead: its names are taken as stored. cancel, when set, stops it.
ArchiveSurvey surveyArchive(const QString& path, const std::atomic<bool>* cancel = nullptr);

}  // namespace qm
