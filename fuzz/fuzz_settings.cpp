// Fuzzes the reading of "settings.dat": the first field of arbitrary bytes, and that a path
// written back is read as exactly one field.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/fieldreader.h"
#include "platform/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = qm::decodeText(bytes);
    const QString workFolder = qm::firstField(text);

    // Whatever was read must survive being written again: one field, nothing left over.
    qm::FieldReader reader(qm::encodeField(workFolder) + QStringLiteral("\r\n"));
    const auto readBack = reader.next();
    if (!readBack || !reader.atEnd()) {
        std::abort();
    }
    if (!workFolder.startsWith(u'"') && !workFolder.contains(u'\r') &&
        !workFolder.contains(u'\n') && *readBack != workFolder) {
        std::abort();
    }

    // The whole text as fields and numbers.
    qm::FieldReader all(text);
    while (auto field = all.next()) {
        (void)qm::parseInt16(*field);
    }
    return 0;
}
