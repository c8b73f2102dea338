// Fuzzes the parser of archiver command lines: any text must split (or be refused) in one quick
// pass without a crash; and a command line built the way the installer builds it, from two paths
// that fit a command line, must give back its words.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "installer/archivecommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)qm::splitCommandLine(text);

    // Two paths, built into a command line and split again.
    const qsizetype cut = text.indexOf(QChar(u'\0'));
    if (cut <= 0) {
        return 0;
    }
    const QString archive = text.left(cut);
    const QString folder = text.mid(cut + 1);
    if (folder.isEmpty() || folder.contains(QChar(u'\0')) || archive.trimmed() != archive ||
        folder.trimmed() != folder) {
        return 0;
    }
    const QString target = qm::withTrailingBackslash(folder);
    if (!qm::fitsCommandLine(archive) || !qm::fitsCommandLine(target)) {
        return 0;
    }
    const QString line = QStringLiteral("e -x1m0 ") + qm::quoteIfNeeded(archive) + u' ' +
                         qm::quoteIfNeeded(target) + u' ';
    const QStringList expected{QStringLiteral("e"), QStringLiteral("-x1m0"), archive, target};
    const auto words = qm::splitCommandLine(line);
    if (!words || *words != expected) {
        std::abort();
    }
    return 0;
}
