#include "installer/archivereader.h"

#include <QStringDecoder>

#include <algorithm>

#include <archive.h>
#include <archive_entry.h>

#include "platform/filesystem.h"

namespace qm {
namespace {

// Reading data goes in large blocks; reading headers only seeks from one to the next, and a
// large block would be read in full at each of them.
constexpr size_t kDataBlockSize = 16 * 1024;
constexpr size_t kHeaderBlockSize = 4 * 1024;

enum class Pass { Clean, NeedsLegacy, Broken, Cancelled };

// What the stored bytes of the names suggest about their encoding. Each run of bytes beyond ASCII
// is weighed on its own: valid as UTF-8, it is UTF-8 when it holds a character from U+0800 on
// (kana, kanji) or sits inside a word of Latin letters ("café"); else, read as the Windows
// Japanese code page, it may be Japanese for sure.
struct NameEvidence {
    bool utf8 = false;
    bool japanese = false;
};

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// True when bytes are valid UTF-8 and either inWord or holding a character from U+0800 on.
bool readsAsUtf8(const QByteArray& bytes, bool inWord) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && (inWord || std::any_of(text.begin(), text.end(), [](QChar c) {
                                       return c.unicode() >= 0x800;
                                   }));
}

// True when bytes read cleanly as CP932 into kana, kanji or full-width forms only, and hold
// something that only Japanese would: a double-byte character or a half-width katakana from
// U+FF61 to U+FF7F. The half-width ones beyond (bytes C0 to DF) alone are no evidence: a Russian
// name in KOI8 is made of the same bytes.
bool readsAsJapanese(const QByteArray& bytes) {
    QStringDecoder decoder("CP932", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return false;
    }
    bool sure = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF61 && u <= 0xFF9F) {
            sure = sure || u <= 0xFF7F;
        } else if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
                   (u >= 0xFF01 && u <= 0xFF60)) {
            sure = true;
        } else {
            return false;
        }
    }
    return sure;
}

void weigh(const QByteArray& name, NameEvidence* evidence) {
    qsizetype start = 0;
    while (start < name.size()) {
        if (static_cast<uchar>(name.at(start)) < 0x80) {
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < name.size() && static_cast<uchar>(name.at(end)) >= 0x80) {
            ++end;
        }
        const QByteArray run = name.mid(start, end - start);
        const bool inWord = (start > 0 && isAsciiLetter(name.at(start - 1))) ||
                            (end < name.size() && isAsciiLetter(name.at(end)));
        if (readsAsUtf8(run, inWord)) {
            evidence->utf8 = true;
        } else if (readsAsJapanese(run)) {
            evidence->japanese = true;
        }
        start = end;
    }
}

// Reads every header; sums the sizes into total and weighs the names as stored. NeedsLegacy when
// a name is not valid UTF-8.
Pass readHeaders(ArchiveReader& reader, qint64* total, QString* error,
                 const std::atomic<bool>* cancel, NameEvidence* evidence = nullptr,
                 NameReading reading = NameReading::AsStored) {
    *total = 0;
    bool utf8 = true;
    archive_entry* entry = nullptr;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            return Pass::Cancelled;
        }
        const int status = reader.next(&entry);
        if (status == ARCHIVE_EOF) {
            if (reader.endMarkerMissing()) {
                *error = QStringLiteral("truncated archive: the end marker is missing");
                return Pass::Broken;
            }
            return utf8 ? Pass::Clean : Pass::NeedsLegacy;
        }
        if (status != ARCHIVE_OK) {
            *error = reader.libraryError();
            return Pass::Broken;
        }
        utf8 = utf8 && archive_entry_pathname_utf8(entry);
        if (evidence) {
            weigh(storedName(archive_entry_pathname(entry), reading), evidence);
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

QByteArray storedName(const char* name, NameReading reading) {
    // Read as ISO-8859-1, every byte came out as the character of the same number.
    return reading == NameReading::Bytes ? QString::fromUtf8(name).toLatin1() : QByteArray(name);
}

bool ArchiveReader::openArchive(const QString& path, NameReading reading, bool headersOnly) {
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
    m_fileSize = fileSystem().status(path).size;
    const char* const charset = reading == NameReading::Japanese ? "hdrcharset=CP932"
                                : reading == NameReading::Bytes  ? "hdrcharset=ISO-8859-1"
                                                                 : nullptr;
    if (charset && archive_read_set_options(m_archive, charset) < ARCHIVE_WARN) {
        return false;
    }
    return archive_read_open_filename(m_archive, FsPath(path).c_str(),
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

ArchiveSurvey surveyArchive(const QString& path, const std::atomic<bool>* cancel) {
    ArchiveSurvey survey;
    ArchiveReader plain;
    if (!plain.openArchive(path, NameReading::AsStored, true)) {
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
    NameEvidence evidence;
    const Pass first = readHeaders(plain, &survey.totalBytes, &plainError, cancel, &evidence);
    survey.cancelled = first == Pass::Cancelled;
    // Names that are valid UTF-8 stay so, unless they are Japanese for sure in the legacy code
    // page and nothing reads plainly as UTF-8 ("ﾃｽ" is the UTF-8 of "ý"). When a name is not
    // UTF-8, all are read in the legacy code page if that makes any Japanese: other bytes
    // (Cyrillic in KOI8 or CP866) are kept as they are. A ZIP entry flagged as UTF-8 reads the
    // same either way.
    const bool preferLegacy = evidence.japanese && (first == Pass::NeedsLegacy || !evidence.utf8);
    if (survey.cancelled || (first != Pass::Broken && !preferLegacy)) {
        survey.readable = true;
        return survey;
    }
    // Names that are not UTF-8, which some readers (LZH, CAB) cannot even give as stored: every
    // name as bytes decides whether they are Japanese; if not (Cyrillic in KOI8 or CP866), the
    // bytes are kept as they are.
    const qint64 plainTotal = survey.totalBytes;
    if (first == Pass::Broken) {
        ArchiveReader bytes;
        NameEvidence all;
        QString ignored;
        if (bytes.openArchive(path, NameReading::Bytes, true) &&
            readHeaders(bytes, &survey.totalBytes, &ignored, cancel, &all, NameReading::Bytes) !=
                Pass::Broken &&
            !all.japanese) {
            survey.readable = true;
            survey.names = NameReading::Bytes;
            return survey;
        }
    }
    ArchiveReader legacy;
    QString legacyError;
    if (legacy.openArchive(path, NameReading::Japanese, true) &&
        readHeaders(legacy, &survey.totalBytes, &legacyError, cancel) == Pass::Clean) {
        survey.readable = true;
        survey.names = NameReading::Japanese;
        return survey;
    }
    if (first != Pass::Broken) {
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
