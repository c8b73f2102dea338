#include "catalogue/listfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/fieldreader.h"
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

}  // namespace

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
    entry.folder = fields[2];
    entry.category = fields[3];
    entry.exe = fields[4];
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
    for (const QString* field :
         {&entry.name, &entry.folder, &entry.category, &entry.exe, &entry.description}) {
        line += u',';
        line += encodeField(*field);
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

std::optional<QList<CatalogueEntry>> readListFile(const QString& path, bool* complete) {
    QString text;
    if (!readTextFile(path, &text)) {
        if (complete) {
            *complete = false;
        }
        return std::nullopt;
    }
    QList<CatalogueEntry> entries;
    ListFileReader reader(text);
    bool whole = true;
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
    for (int number = 1; QFileInfo::exists(backup) || QFileInfo(backup).isSymLink(); ++number) {
        backup = listFile + QStringLiteral(".bak") + QString::number(number);
    }
    return backup;
}

bool backUpListFile(const QString& listFile, QString* backup, QString* error) {
    if (!QFileInfo(listFile).isFile()) {
        return true;
    }
    *backup = listBackupPath(listFile);
    QFile file(listFile);
    if (!file.copy(*backup)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

bool saveListFile(const QString& path, const QList<CatalogueEntry>& entries, QString* error) {
    return saveFileAtomically(path, formatListFile(entries), error);
}

}  // namespace qm
