#include "installer/archivereader.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

namespace qm {
namespace {

// Reading data goes in large blocks; reading headers only seeks from one to the next, and a
// large block would be read in full at each of them.
constexpr size_t kDataBlockSize = 16 * 1024;
constexpr size_t kHeaderBlockSize = 4 * 1024;

enum class Pass { Clean, NeedsLegacy, Broken };

// Reads every header; sums the sizes into total.
Pass readHeaders(ArchiveReader& reader, qint64* total, QString* error) {
    *total = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = reader.next(&entry);
        if (status == ARCHIVE_EOF) {
            return Pass::Clean;
        }
        if (status != ARCHIVE_OK) {
            *error = reader.errorText();
            return Pass::Broken;
        }
        if (!archive_entry_pathname_utf8(entry)) {
            return Pass::NeedsLegacy;
        }
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0) {
            *total += archive_entry_size(entry);
        }
    }
}

}  // namespace

ArchiveReader::~ArchiveReader() {
    if (m_archive) {
        archive_read_free(m_archive);
    }
}

bool ArchiveReader::open(const QString& path, bool legacyNames, bool headersOnly) {
    if (m_archive) {
        archive_read_free(m_archive);
    }
    m_archive = archive_read_new();
    archive_read_support_format_lha(m_archive);
    archive_read_support_format_zip(m_archive);
    archive_read_support_filter_none(m_archive);
    if (legacyNames && archive_read_set_options(m_archive, "hdrcharset=CP932") != ARCHIVE_OK) {
        return false;
    }
    return archive_read_open_filename(m_archive, QFile::encodeName(path).constData(),
                                      headersOnly ? kHeaderBlockSize : kDataBlockSize) ==
           ARCHIVE_OK;
}

int ArchiveReader::next(archive_entry** entry) {
    return archive_read_next_header(m_archive, entry);
}

QString ArchiveReader::errorText() const {
    const char* text = m_archive ? archive_error_string(m_archive) : nullptr;
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unreadable archive");
}

ArchiveSurvey surveyArchive(const QString& path) {
    ArchiveSurvey survey;
    ArchiveReader plain;
    if (!plain.open(path, false, true)) {
        survey.error = plain.errorText();
        return survey;
    }
    survey.opened = true;
    QString plainError;
    const Pass first = readHeaders(plain, &survey.totalBytes, &plainError);
    if (first == Pass::Clean) {
        survey.readable = true;
        return survey;
    }
    // Names that are not UTF-8 (an LZH's reader fails outright on them): try the legacy code page.
    ArchiveReader legacy;
    if (!legacy.open(path, true, true)) {
        survey.error = legacy.errorText();
        return survey;
    }
    QString legacyError;
    if (readHeaders(legacy, &survey.totalBytes, &legacyError) == Pass::Clean) {
        survey.readable = true;
        survey.legacyNames = true;
        return survey;
    }
    survey.error = plainError.isEmpty() ? legacyError : plainError;
    return survey;
}

}  // namespace qm
