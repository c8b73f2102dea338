// Fuzzes the list file reader: arbitrary bytes are read as records, written back, and read again;
// the second reading must give the same number of records with the same folders.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "catalogue/listfile.h"
#include "platform/textfile.h"

namespace {

bool holdsOnlyPlainText(const QString& s) {
    return !s.startsWith(u'"') && !s.contains(u'\r') && !s.contains(u'\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QList<qm::CatalogueEntry> entries;
    qm::ListFileReader reader(qm::decodeText(bytes));
    while (!reader.atEnd()) {
        auto entry = reader.next();
        if (!entry) {
            break;
        }
        entries.append(*entry);
    }

    const QByteArray written = qm::formatListFile(entries);
    qm::ListFileReader again(qm::decodeText(written));
    qsizetype count = 0;
    while (!again.atEnd()) {
        auto entry = again.next();
        if (!entry || count >= entries.size()) {
            std::abort();  // a written record split or shifted
        }
        const qm::CatalogueEntry& original = entries[count];
        if (holdsOnlyPlainText(original.folder) && entry->folder != original.folder) {
            std::abort();
        }
        ++count;
    }
    if (count != entries.size()) {
        std::abort();
    }
    return 0;
}
