#include <QTemporaryDir>
#include <cstdio>
#include "bench/benchmark.h"
#include "installer/archiveextractor.h"
QM_FIGURE("zz_try", [] {
    QTemporaryDir dir;
    qm::ArchiveExtractor x(qEnvironmentVariable("QM_TRY"), dir.path() + "/out");
    const auto r = x.extract();
    std::fprintf(stderr, "result %d %s\n", int(r.error), qPrintable(r.detail));
    return 0.0;
});
