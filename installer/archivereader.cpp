#include "installer/archivereader.h"

#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

namespace qm {
namespace {

// Reading data goes in large blocks; reading headers only seeks from one to the next, and a
// large block would be read in full at each of them.
constexpr size_t kDataBlockSize = 16 * 1024;
constexpr size_t kHeaderBlockSize = 4 * 1024;

enum class Pass { Clean, NeedsLegacy, Broken };

// What the UTF-8 readings of the names hold beyond ASCII.
struct NameScript {
    bool twoByte = false;  // characters U+0080 to U+07FF (accented Latin, Greek, Cyrillic...)
    bool wide = false;     // characters from U+0800 on (kana, kanji...)
};

void scan(const char* utf8Name, NameScript* script) {
    for (const char32_t c : QString::fromUtf8(utf8Name).toUcs4()) {
        if (c >= 0x800) {
            script->wide = true;
        } else if (c >= 0x80) {
            script->twoByte = true;
        }
    }
}

// Reads every header; sums the sizes into total and notes the names' script.
Pass readHeaders(ArchiveReader& reader, qint64* total, QString* error,
                 NameScript* script = nullptr) {
    *total = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = reader.next(&entry);
        if (status == ARCHIVE_EOF) {
            if (reader.endMarkerMissing()) {
                *error = QStringLiteral("truncated archive: the end marker is missing");
                return Pass::Broken;
            }
            return Pass::Clean;
        }
        if (status != ARCHIVE_OK) {
            *error = reader.libraryError();
            return Pass::Broken;
        }
        const char* name = archive_entry_pathname_utf8(entry);
        if (!name) {
            return Pass::NeedsLegacy;
        }
        if (script) {
            scan(name, script);
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
    archive_read_support_format_7zip(m_archive);
    archive_read_support_format_rar(m_archive);
    archive_read_support_format_rar5(m_archive);
    archive_read_support_format_cab(m_archive);
    archive_read_support_format_tar(m_archive);
    archive_read_support_filter_none(m_archive);
    archive_read_support_filter_gzip(m_archive);
    archive_read_support_filter_bzip2(m_archive);
    archive_read_support_filter_xz(m_archive);
    archive_read_support_filter_zstd(m_archive);
    m_fileSize = QFileInfo(path).size();
    if (legacyNames && archive_read_set_options(m_archive, "hdrcharset=CP932") != ARCHIVE_OK) {
        return false;
    }
    return archive_read_open_filename(m_archive, QFile::encodeName(path).constData(),
                                      headersOnly ? kHeaderBlockSize : kDataBlockSize) ==
           ARCHIVE_OK;
}

bool ArchiveReader::endMarkerMissing() const {
    // The next header would start where the end marker should be.
    return archive_format(m_archive) == ARCHIVE_FORMAT_LHA &&
           archive_read_header_position(m_archive) >= m_fileSize;
}

int ArchiveReader::next(archive_entry** entry) {
    return archive_read_next_header(m_archive, entry);
}

QString ArchiveReader::libraryError() const {
    const char* text = m_archive ? archive_error_string(m_archive) : nullptr;
    return text ? QString::fromLocal8Bit(text) : QString();
}

QString ArchiveReader::errorText() const {
    const QString text = libraryError();
    return text.isEmpty() ? QStringLiteral("unreadable archive") : text;
}

ArchiveSurvey surveyArchive(const QString& path) {
    ArchiveSurvey survey;
    ArchiveReader plain;
    if (!plain.open(path, false, true)) {
        survey.error = plain.errorText();
        return survey;
    }
    survey.opened = true;
    // A compressed stream (tar.gz, tar.xz...) has to be decompressed whole to reach every header,
    // which would double the time of the extraction: its names are taken as stored (such archives
    // come from tools that write UTF-8) and its size stays unknown. Damage shows while extracting.
    if (archive_filter_count(plain.handle()) > 1) {
        survey.readable = true;
        return survey;
    }
    QString plainError;
    NameScript script;
    const Pass first = readHeaders(plain, &survey.totalBytes, &plainError, &script);
    // Names that read as UTF-8 with accented letters but no kana or kanji are, more likely, the
    // half-width katakana of the legacy code page ("ﾃｽ" is the UTF-8 of "ý"): read them so when
    // that reading is clean. A ZIP entry flagged as UTF-8 reads the same either way.
    const bool preferLegacy = first == Pass::Clean && script.twoByte && !script.wide;
    if (first == Pass::Clean && !preferLegacy) {
        survey.readable = true;
        return survey;
    }
    // Names that are not UTF-8 (an LZH's reader fails outright on them): try the legacy code page.
    const qint64 plainTotal = survey.totalBytes;
    ArchiveReader legacy;
    QString legacyError;
    if (legacy.open(path, true, true) &&
        readHeaders(legacy, &survey.totalBytes, &legacyError) == Pass::Clean) {
        survey.readable = true;
        survey.legacyNames = true;
        return survey;
    }
    if (first == Pass::Clean) {
        survey.totalBytes = plainTotal;
        survey.readable = true;
        return survey;
    }
    // The first reading's complaint is the more telling one, unless it had none.
    survey.error = !plainError.isEmpty()    ? plainError
                   : !legacyError.isEmpty() ? legacyError
                                            : QStringLiteral("unreadable archive");
    return survey;
}

}  // namespace qm
