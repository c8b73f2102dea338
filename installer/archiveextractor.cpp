#include "installer/archiveextractor.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>

#include "installer/archivereader.h"
#include "installer/entrypath.h"
#include "platform/archiveindex.h"
#include "platform/fspath.h"
#include "platform/securewrite.h"
#include "platform/stagingfolder.h"

namespace qm {
namespace {

// Every write is refused when its name is absolute, holds "..", or passes through a link. Names
// are given relative to the staging folder, the writing thread's current folder.
constexpr int kSecureFlags = ARCHIVE_EXTRACT_SECURE_SYMLINKS | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                             ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS;

// A staging folder that could not be made or moved, by the system error that stopped it.
ExtractionError folderError(int code);

// How often, in bytes written, free space and the growth ratio are looked at again.
constexpr qint64 kCheckInterval = 16LL << 20;

QString entryName(const QByteArray& name) {
    return QString::fromLocal8Bit(name);
}

ExtractionResult failure(ExtractionError error, const QString& detail,
                         const QByteArray& entry = {}) {
    return ExtractionResult{error, detail, entryName(entry)};
}

// A failed write, by its cause. A write refused by the secure flags carries no system error.
ExtractionError writeError(int code) {
    switch (code) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ExtractionError::DiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return ExtractionError::NoPermission;
        case 0:
        case -1:  // libarchive's own "miscellaneous" error
            return ExtractionError::Unsafe;
        default:
            return ExtractionError::Write;
    }
}

// name without empty and "." parts: "./a//b/" is "a/b", "./" is "".
QByteArray cleanName(const QByteArray& name) {
    QByteArrayList parts;
    for (const QByteArray& part : name.split('/')) {
        if (!part.isEmpty() && part != ".") {
            parts.append(part);
        }
    }
    return parts.join('/');
}

// Remembers the links extracted so far and refuses an entry that would be written through one:
// a path whose folder part passes through a link. Names are compared without regard to case, in
// case the file system does not tell them apart.
class LinkGuard {
public:
    void addLink(const QByteArray& name) { m_links.insert(normalized(name)); }

    bool passesThroughLink(const QByteArray& name) const {
        if (m_links.isEmpty()) {
            return false;
        }
        const QStringList parts = normalized(name).split(u'/');
        QString prefix;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            prefix += (i == 0 ? QString() : QStringLiteral("/")) + parts.at(i);
            if (m_links.contains(prefix)) {
                return true;
            }
        }
        return false;
    }

private:
    static QString normalized(const QByteArray& name) {
        QStringList parts;
        for (const QString& part : QString::fromLocal8Bit(name).split(u'/')) {
            if (!part.isEmpty() && part != u".") {
                parts.append(part.toCaseFolded());
            }
        }
        return parts.join(u'/');
    }

    QSet<QString> m_links;
};

// The disk writer, freed on destruction.
class DiskWriter {
public:
    DiskWriter() : m_archive(archive_write_disk_new()) {
        archive_write_disk_set_options(m_archive, ARCHIVE_EXTRACT_TIME | kSecureFlags);
    }
    ~DiskWriter() { archive_write_free(m_archive); }
    DiskWriter(const DiskWriter&) = delete;
    DiskWriter& operator=(const DiskWriter&) = delete;

    archive* handle() const { return m_archive; }
    ExtractionResult failed(const QByteArray& entry) const {
        const char* text = archive_error_string(m_archive);
        return failure(writeError(archive_errno(m_archive)),
                       text ? QString::fromLocal8Bit(text) : QStringLiteral("write error"), entry);
    }

private:
    archive* m_archive;
};

// What an extraction run is given besides the archive.
struct RunSettings {
    QByteArray staging;
    NameReading names;
    const ArchiveExtractor::ProgressHandler& progress;
    const std::atomic<bool>* cancel;
    const ExtractionLimits& limits;
};

ExtractionError folderError(int code) {
    return code == 0 ? ExtractionError::Write : writeError(code);
}

// One extraction run into a staging folder.
class ExtractionRun {
public:
    ExtractionRun(const RunSettings& settings, qint64 total)
        : m_staging(settings.staging), m_settings(settings) {
        m_progress.totalBytes = total;
    }

    ExtractionResult run(ArchiveReader& reader);
    ExtractionResult checkLinks() const;
    bool madeLinks() const { return !m_links.isEmpty(); }

private:
    // Checks entry and gives it its name in the staging folder; skip when it is the folder itself.
    ExtractionResult placeEntry(archive_entry* entry, bool* skip);
    ExtractionResult copyData(ArchiveReader& reader, archive_entry* entry, const QByteArray& name);
    // Cancellation, and every few megabytes the free space and the growth against the input.
    ExtractionResult checkGoingOn(ArchiveReader& reader, const QByteArray& name);
    void reportProgress() const {
        if (m_settings.progress) {
            m_settings.progress(m_progress);
        }
    }

    QByteArray m_staging;
    const RunSettings& m_settings;
    ExtractionProgress m_progress;
    qint64 m_nextCheck = kCheckInterval;
    DiskWriter m_writer;
    LinkGuard m_guard;
    QList<QByteArray> m_links;
};

ExtractionResult ExtractionRun::placeEntry(archive_entry* entry, bool* skip) {
    const QByteArray stored = storedName(archive_entry_pathname(entry), m_settings.names);
    const QByteArray name = cleanName(stored);
    const mode_t type = archive_entry_filetype(entry);
    // "./" of a tar made in the folder itself: the staging folder is that folder.
    *skip = name.isEmpty() && type == AE_IFDIR;
    if (*skip) {
        return {};
    }
    if (!isSafeEntryPath(stored) || name.isEmpty()) {
        return failure(ExtractionError::Unsafe, QStringLiteral("unsafe path"), stored);
    }
    const char* const storedLink = archive_entry_hardlink(entry);
    const QByteArray hardlink =
        storedLink ? storedName(storedLink, m_settings.names) : QByteArray();
    if (!storedLink && type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK) {
        return failure(ExtractionError::Unsupported, QStringLiteral("refused kind"), name);
    }
    if (m_guard.passesThroughLink(name)) {
        return failure(ExtractionError::Unsafe, QStringLiteral("written through a link"), name);
    }
    if (storedLink) {
        // Only a second name for a file already written here, reached through no link: a hard
        // link to a link, a folder or anything outside would let later entries write through it.
        const QByteArray target = cleanName(hardlink);
        if (!isSafeEntryPath(hardlink) || !isPlainFileBelow(m_staging, target)) {
            return failure(ExtractionError::Unsafe, QStringLiteral("unsafe hard link"), name);
        }
        archive_entry_copy_hardlink(entry, target.constData());
    } else if (type == AE_IFLNK) {
        const char* const storedTarget = archive_entry_symlink(entry);
        const QByteArray target =
            storedTarget ? storedName(storedTarget, m_settings.names) : QByteArray();
        if (!storedTarget || !isSafeLinkTarget(name, target)) {
            return failure(ExtractionError::Unsafe, QStringLiteral("link leads out"), name);
        }
        archive_entry_copy_symlink(entry, target.constData());
        m_guard.addLink(name);
        m_links.append(name);
    }
    archive_entry_copy_pathname(entry, name.constData());
    return {};
}

ExtractionResult ExtractionRun::copyData(ArchiveReader& reader, archive_entry* entry,
                                         const QByteArray& name) {
    const void* buffer = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    qint64 end = 0;
    for (;;) {
        const int status = archive_read_data_block(reader.handle(), &buffer, &size, &offset);
        if (status == ARCHIVE_EOF) {
            // An entry whose data ends before its stated size would otherwise be padded out to
            // that size (as a sparse file of any length): the archive is damaged.
            const bool sized = archive_entry_filetype(entry) == AE_IFREG &&
                               archive_entry_size_is_set(entry) && !archive_entry_hardlink(entry) &&
                               archive_entry_sparse_count(entry) == 0;
            if (sized && end != archive_entry_size(entry)) {
                return failure(ExtractionError::Corrupt,
                               QStringLiteral("holds %1 bytes but claims %2")
                                   .arg(end)
                                   .arg(archive_entry_size(entry)),
                               name);
            }
            return {};
        }
        // A warning here is a checksum mismatch: the data is damaged.
        if (status != ARCHIVE_OK) {
            return failure(ExtractionError::Corrupt, reader.errorText(), name);
        }
        if (archive_write_data_block(m_writer.handle(), buffer, size, offset) != ARCHIVE_OK) {
            return m_writer.failed(name);
        }
        m_progress.bytes += static_cast<qint64>(size);
        end = qMax<qint64>(end, offset + static_cast<qint64>(size));
        reportProgress();
        if (ExtractionResult going = checkGoingOn(reader, name); !going.ok()) {
            return going;
        }
    }
}

ExtractionResult ExtractionRun::checkGoingOn(ArchiveReader& reader, const QByteArray& name) {
    if (m_settings.cancel && m_settings.cancel->load(std::memory_order_relaxed)) {
        return failure(ExtractionError::Cancelled, QStringLiteral("cancelled"));
    }
    if (m_progress.bytes < m_nextCheck) {
        return {};
    }
    m_nextCheck = m_progress.bytes + kCheckInterval;
    const ExtractionLimits& limits = m_settings.limits;
    const qint64 free = freeBytesAt(m_staging);
    if (free >= 0 && free < limits.spareBytes) {
        return failure(ExtractionError::DiskFull, QStringLiteral("the disk is nearly full"), name);
    }
    const qint64 read = archive_filter_bytes(reader.handle(), -1);
    if (m_progress.bytes > limits.ratioFloor && m_progress.bytes / limits.ratio > read) {
        return failure(ExtractionError::Limit,
                       QStringLiteral("%1 bytes written from %2").arg(m_progress.bytes).arg(read),
                       name);
    }
    return {};
}

ExtractionResult ExtractionRun::run(ArchiveReader& reader) {
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = reader.next(&entry);
        if (status == ARCHIVE_EOF) {
            break;
        }
        if (status != ARCHIVE_OK) {
            return failure(ExtractionError::Corrupt, reader.errorText());
        }
        if (ExtractionResult going = checkGoingOn(reader, {}); !going.ok()) {
            return going;
        }
        bool skip = false;
        if (ExtractionResult placed = placeEntry(entry, &skip); !placed.ok() || skip) {
            if (skip) {
                continue;
            }
            return placed;
        }
        const QByteArray name = archive_entry_pathname(entry);
        // The secure flags refuse an entry with a warning and go on: any refusal fails the run.
        if (archive_write_header(m_writer.handle(), entry) != ARCHIVE_OK) {
            return m_writer.failed(name);
        }
        if (archive_entry_size(entry) > 0 || archive_entry_filetype(entry) == AE_IFREG) {
            if (ExtractionResult copied = copyData(reader, entry, name); !copied.ok()) {
                return copied;
            }
        }
        if (archive_write_finish_entry(m_writer.handle()) < ARCHIVE_WARN) {
            return m_writer.failed(name);
        }
        ++m_progress.entries;
        reportProgress();
    }
    if (archive_write_close(m_writer.handle()) < ARCHIVE_WARN) {
        return m_writer.failed({});
    }
    return checkLinks();
}

// Each link, resolved through every link before it, must end inside the staging folder.
ExtractionResult ExtractionRun::checkLinks() const {
    for (const QByteArray& link : m_links) {
        if (!leadsInside(m_staging, link)) {
            return failure(ExtractionError::Unsafe, QStringLiteral("link leads out"), link);
        }
    }
    return {};
}

}  // namespace

ArchiveExtractor::ArchiveExtractor(const QString& archive, const QString& destination)
    : m_archive(archive), m_destination(destination) {}

ExtractionResult ArchiveExtractor::extract() {
    switch (checkIndexApart(FsPath(m_archive).bytes(), m_limits.indexBytes, m_limits.indexSeconds,
                            m_cancel)) {
        case IndexCheck::Cancelled:
            return failure(ExtractionError::Cancelled, QStringLiteral("cancelled"));
        case IndexCheck::Oversized:
            return failure(ExtractionError::Oversized,
                           QStringLiteral("reading the index needs more than %1 MiB or %2 s")
                               .arg(m_limits.indexBytes >> 20)
                               .arg(m_limits.indexSeconds));
        case IndexCheck::Fine:
        case IndexCheck::Failed:  // read here, as every other archive is
            break;
    }
    const ArchiveSurvey survey = surveyArchive(m_archive, m_cancel);
    if (survey.cancelled) {
        return failure(ExtractionError::Cancelled, QStringLiteral("cancelled"));
    }
    if (!survey.readable) {
        return failure(survey.opened ? ExtractionError::Corrupt : ExtractionError::Open,
                       survey.error);
    }
    ArchiveReader reader;
    if (!reader.openArchive(m_archive, survey.names)) {
        return failure(ExtractionError::Open, reader.errorText());
    }
    StagingFolder staging;
    if (!staging.create(m_destination)) {
        return failure(folderError(staging.lastError()),
                       QStringLiteral("cannot create a folder beside ") + m_destination);
    }
    const QByteArray stagingPath = FsPath(staging.path()).bytes();
    const qint64 free = freeBytesAt(stagingPath);
    if (free >= 0 && survey.totalBytes > 0 && survey.totalBytes > free - m_limits.spareBytes) {
        return failure(ExtractionError::DiskFull,
                       QStringLiteral("needs %1 bytes, %2 free").arg(survey.totalBytes).arg(free));
    }
    ExtractionResult result;
    bool madeLinks = true;
    // The writer lives on the writing thread only: freed elsewhere, it would finish its folders'
    // times and modes relative to another current folder.
    const RunSettings settings{stagingPath, survey.names, m_progress, m_cancel, m_limits};
    const auto work = [&] {
        ExtractionRun run(settings, survey.totalBytes);
        result = run.run(reader);
        madeLinks = run.madeLinks();
    };
    if (!runInFolder(stagingPath, work)) {
        return failure(ExtractionError::Write, QStringLiteral("cannot enter ") + staging.path());
    }
    if (!result.ok()) {
        return result;
    }
    if (!staging.commit(m_destination, madeLinks ? isSafeLinkTarget : nullptr)) {
        return failure(folderError(staging.lastError()),
                       QStringLiteral("cannot move into ") + m_destination);
    }
    return {};
}

}  // namespace qm
