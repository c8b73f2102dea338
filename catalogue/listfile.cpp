#include "catalogue/listfile.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include "app/fieldreader.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "platform/textfile.h"

namespace qm {
namespace {

constexpr int fieldsPerRecord = 6;

bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// Blank lines at the very end of a file are not a record: keep only the line end that closes
// the last record (it still ends that record's last field, which may be empty).
QString withoutTrailingBlankLines(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && isLineEnd(text.at(end - 1))) {
        --end;
    }
    if (end == text.size()) {
        return text;
    }
    return text.left(end) + QLatin1String("\r\n");
}

// Only 0, 1 and 2 are stored; the in-memory icon states (3 and up) are registered entries.
QString stateField(qint16 state) {
    if (state == 0 || state == 1 || state == 2) {
        return QString::number(state);
    }
    return state > 2 ? QStringLiteral("1") : QStringLiteral("2");
}

// Digits with an optional sign, and spaces around them.
bool isPlainNumber(const QString& field) {
    static const QRegularExpression number(QStringLiteral("^ *[+-]?[0-9]+ *$"));
    return number.match(field).hasMatch();
}

// The escape of path texts (see pathbytes.h) for bytes below 0x80: U+EF00 + the byte.
constexpr char16_t kByteEscape = 0xEF00;

bool isLowEscape(char16_t c) {
    return c >= kByteEscape && c < kByteEscape + 0x80;
}

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoding runs when its result is taken.
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

}  // namespace

QString encodePathField(const QString& path) {
    QString text;
    text.reserve(path.size());
    for (const QChar c : path) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == u'"') {
            text += QChar(char16_t(kByteEscape + u));
        } else if (isLowEscape(u)) {
            // A name that really holds such a character is written byte by byte.
            for (const char byte : QString(c).toUtf8()) {
                text += QChar(char16_t(kByteEscape + uchar(byte)));
            }
        } else {
            text += c;
        }
    }
    return text;
}

QString decodePathField(const QString& field) {
    const auto escaped = [](QChar c) {
        return c.unicode() >= kByteEscape && c.unicode() <= kByteEscape + 0xFF;
    };
    if (std::none_of(field.begin(), field.end(), escaped)) {
        return field;
    }
    QString text = field;
    for (QChar& c : text) {
        if (isLowEscape(c.unicode())) {
            c = QChar(char16_t(c.unicode() - kByteEscape));
        }
    }
    // Bytes written one by one may form a character again.
    return textFromNameBytes(nameBytesFromText(text));
}

QString decodeListFile(const QByteArray& bytes, bool* damaged) {
    *damaged = !bytes.isEmpty() && !bytes.endsWith("\r\n");
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF")) {
        rest = rest.sliced(3);
    }
    if (isValidUtf8(rest)) {
        return QString::fromUtf8(rest);
    }
    // Each line on its own: a file written here is UTF-8, an old one CP932. In a UTF-8 file a
    // line that is not valid UTF-8 is damaged; its stray bytes are kept the way path texts keep
    // them, so that a folder field still leads to its folder.
    QList<QByteArrayView> lines;
    for (qsizetype start = 0; start < rest.size();) {
        const qsizetype end = rest.indexOf('\n', start);
        const qsizetype next = end < 0 ? rest.size() : end + 1;
        lines.append(rest.sliced(start, next - start));
        start = next;
    }
    const bool utf8File = std::any_of(lines.begin(), lines.end(), [](QByteArrayView line) {
        return !isAscii(line) && isValidUtf8(line);
    });
    QString text;
    for (const QByteArrayView line : lines) {
        if (isValidUtf8(line)) {
            text += QString::fromUtf8(line);
        } else if (utf8File) {
            *damaged = true;
            text += textFromNameBytes(line.toByteArray());
        } else {
            QStringDecoder cp932("CP932");
            text += cp932.isValid() ? cp932.decode(line) : QString::fromLatin1(line);
            if (!cp932.isValid() || cp932.hasError()) {
                *damaged = true;
            }
        }
    }
    return text;
}

class ListFileReader::Impl {
public:
    explicit Impl(const QString& text) : reader(withoutTrailingBlankLines(text)) {}
    FieldReader reader;
    bool stopped = false;
    bool stateWasNumber = true;
};

ListFileReader::ListFileReader(const QString& text) : d(std::make_shared<Impl>(text)) {}

bool ListFileReader::atEnd() const {
    return d->stopped || d->reader.atEnd();
}

std::optional<CatalogueEntry> ListFileReader::next() {
    if (atEnd()) {
        return std::nullopt;
    }
    QString fields[fieldsPerRecord];
    for (auto& field : fields) {
        const std::optional<QString> value = d->reader.next();
        if (!value) {
            d->stopped = true;
            return std::nullopt;
        }
        field = *value;
    }
    d->stateWasNumber = isPlainNumber(fields[0]);
    const std::optional<qint16> state = parseInt16(fields[0]);
    if (!state) {
        d->stopped = true;
        return std::nullopt;
    }
    CatalogueEntry entry;
    entry.state = *state;
    entry.name = fields[1];
    entry.folder = decodePathField(fields[2]);
    entry.category = fields[3];
    entry.exe = decodePathField(fields[4]);
    entry.description = fields[5];
    return entry;
}

bool ListFileReader::stoppedEarly() const {
    return d->stopped;
}

bool ListFileReader::stateWasNumber() const {
    return d->stateWasNumber;
}

QString formatRecord(const CatalogueEntry& entry) {
    QString line = stateField(entry.state);
    for (const QString& field : {entry.name, encodePathField(entry.folder), entry.category,
                                 encodePathField(entry.exe), entry.description}) {
        line += u',';
        line += encodeField(field);
    }
    line += QLatin1String("\r\n");
    return line;
}

QByteArray formatListFile(const QList<CatalogueEntry>& entries) {
    QString text;
    for (const auto& entry : entries) {
        text += formatRecord(entry);
    }
    return encodeText(text);
}

bool readListText(const QString& path, QString* text, bool* damaged, QString* error) {
    QByteArray bytes;
    if (!fileSystem().readFile(path, &bytes, error)) {
        return false;
    }
    *text = decodeListFile(bytes, damaged);
    return true;
}

std::optional<QList<CatalogueEntry>> readListFile(const QString& path, bool* complete) {
    QString text;
    bool damaged = false;
    if (!readListText(path, &text, &damaged)) {
        if (complete) {
            *complete = false;
        }
        return std::nullopt;
    }
    QList<CatalogueEntry> entries;
    ListFileReader reader(text);
    bool whole = !damaged;
    while (!reader.atEnd()) {
        std::optional<CatalogueEntry> entry = reader.next();
        if (!entry) {
            whole = false;
            break;
        }
        entries.append(std::move(*entry));
    }
    if (complete) {
        *complete = whole;
    }
    return entries;
}

QString listBackupPath(const QString& listFile) {
    QString backup = listFile + QStringLiteral(".bak");
    for (int number = 1; fileSystem().status(backup).exists(); ++number) {
        backup = listFile + QStringLiteral(".bak") + QString::number(number);
    }
    return backup;
}

bool backUpListFile(const QString& listFile, QString* backup, QString* error) {
    if (!fileSystem().status(listFile).isFile()) {
        return true;
    }
    *backup = listBackupPath(listFile);
    QByteArray bytes;
    return fileSystem().readFile(listFile, &bytes, error) &&
           fileSystem().writeFile(*backup, bytes, error);
}

bool saveListFile(const QString& path, const QList<CatalogueEntry>& entries, QString* error,
                  Existing existing) {
    return fileSystem().writeFile(path, formatListFile(entries), error, Durability::Synced,
                                  existing);
}

}  // namespace qm
