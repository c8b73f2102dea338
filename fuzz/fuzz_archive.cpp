// Fuzzes archive extraction: arbitrary bytes as an LZH or ZIP archive must never crash the
// extractor, never leave anything beside the destination, and leave no destination behind when
// the extraction fails.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "installer/archiveextractor.h"
#include "platform/stagingfolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool locale = std::setlocale(LC_ALL, "C.UTF-8") != nullptr;
    (void)locale;
    static QTemporaryDir sandbox;
    const QString archive = sandbox.path() + QStringLiteral("/input.lzh");
    const QString destination = sandbox.path() + QStringLiteral("/out/tool");
    {
        QFile file(archive);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    QDir().mkpath(sandbox.path() + QStringLiteral("/out"));

    const qm::ExtractionResult result = qm::ArchiveExtractor(archive, destination).extract();

    // Only the destination may have appeared, and only when the extraction succeeded.
    const QStringList beside =
        QDir(sandbox.path() + QStringLiteral("/out"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QStringList expected = result.ok() ? QStringList{QStringLiteral("tool")} : QStringList{};
    if (beside != expected ||
        QDir(sandbox.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot) !=
            QStringList({QStringLiteral("input.lzh"), QStringLiteral("out")})) {
        std::abort();
    }
    qm::removeTree(sandbox.path() + QStringLiteral("/out"));
    return 0;
}
