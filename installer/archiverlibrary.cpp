#include "installer/archiverlibrary.h"

#include <QString>
#include <QStringList>

#include <cstring>
#include <optional>

#include "installer/archivecommand.h"
#include "installer/extractionrunner.h"
#include "platform/paths.h"

namespace qm {
namespace {

struct ArchiverCode {
    ExtractionError error;
    qint32 result;
};

constexpr ArchiverCode kCodes[] = {
    {ExtractionError::None, 0},
    {ExtractionError::Open, kArchiverOpen},
    {ExtractionError::Corrupt, kArchiverCorrupt},
    {ExtractionError::Unsafe, kArchiverUnsafe},
    {ExtractionError::Write, kArchiverWrite},
    {ExtractionError::Unsupported, kArchiverUnsupported},
    {ExtractionError::DiskFull, kArchiverDiskFull},
    {ExtractionError::NoPermission, kArchiverPermission},
    {ExtractionError::Limit, kArchiverLimit},
    {ExtractionError::Oversized, kArchiverLimit},
    {ExtractionError::Cancelled, kArchiverCancelled},
};

struct ExtractRequest {
    QString archive;
    QString destination;
};

void writeOutput(const QString& text, char* output, qint32 size) {
    if (!output || size <= 0) {
        return;
    }
    const QByteArray bytes = text.toLocal8Bit();
    const qsizetype length = qMin<qsizetype>(bytes.size(), size - 1);
    std::memcpy(output, bytes.constData(), static_cast<size_t>(length));
    output[length] = '\0';
}

// The archive and the destination: the words after the leading switches. The destination is an
// absolute path ending with a separator, which is dropped; the root folder cannot be one.
std::optional<ExtractRequest> paths(const QStringList& words) {
    qsizetype i = 0;
    while (i < words.size() && words.at(i).startsWith(u'-')) {
        ++i;
    }
    if (words.size() - i != 2) {
        return std::nullopt;
    }
    ExtractRequest request{words.at(i), words.at(i + 1)};
    while (request.destination.size() > 1 && request.destination.endsWith(kSeparator)) {
        request.destination.chop(1);
    }
    if (request.archive.isEmpty() || !isAbsolutePath(request.destination) ||
        request.destination == QString(kSeparator)) {
        return std::nullopt;
    }
    return request;
}

qint32 extract(QWidget* window, const std::optional<ExtractRequest>& request, char* output,
               qint32 size) {
    if (!request) {
        writeOutput(QStringLiteral("command line not understood"), output, size);
        return kArchiverCommandLine;
    }
    const ExtractionResult result = runExtraction(window, request->archive, request->destination);
    writeOutput(result.ok() ? QStringLiteral("extracted") : result.detail + u'\n' + result.entry,
                output, size);
    for (const ArchiverCode& code : kCodes) {
        if (code.error == result.error) {
            return code.result;
        }
    }
    return kArchiverWrite;
}

// The archive and destination of an Unlha command line: an extracting command word first.
std::optional<ExtractRequest> lzhRequest(const QStringList& words) {
    if (words.isEmpty()) {
        return std::nullopt;
    }
    const QString command = words.first().toLower();
    if (command != u"e" && command != u"x") {
        return std::nullopt;
    }
    return paths(words.mid(1));
}

std::optional<ExtractRequest> parse(const char* commandLine,
                                    std::optional<ExtractRequest> (*request)(const QStringList&)) {
    if (!commandLine) {
        return std::nullopt;
    }
    const std::optional<QStringList> words = splitCommandLine(QString::fromLocal8Bit(commandLine));
    return words ? request(*words) : std::nullopt;
}

}  // namespace

ExtractionResult archiverFailure(qint32 result, const char* output) {
    ExtractionResult failure{ExtractionError::Write, {}, {}};
    for (const ArchiverCode& code : kCodes) {
        if (code.result == result) {
            failure.error = code.error;
        }
    }
    const QStringList lines = QString::fromLocal8Bit(output ? output : "").split(u'\n');
    failure.detail = lines.value(0);
    failure.entry = lines.value(1);
    return failure;
}

qint32 Unlha(QWidget* window, const char* commandLine, char* output, qint32 size) {
    return extract(window, parse(commandLine, &lzhRequest), output, size);
}

qint32 UnZip(QWidget* window, const char* commandLine, char* output, qint32 size) {
    return extract(window, parse(commandLine, &paths), output, size);
}

}  // namespace qm
