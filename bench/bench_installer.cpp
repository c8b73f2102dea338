// Extraction figures: our extraction (through the archiver functions for ZIP and LZH) against
// bsdtar on the same archives of 2,000 files and about 50 MB, and on a ZIP of 100,000 small
// files, made at bench time.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include "bench/benchmark.h"
#include "installer/archivecommand.h"
#include "installer/archiverlibrary.h"
#include "installer/extractionrunner.h"
#include "installer/lhazip.h"
#include "platform/stagingfolder.h"

namespace qm::bench {
namespace {

constexpr int kFiles = 2000;
constexpr int kRuns = 7;
constexpr int kManyEntries = 100000;

// Text from a small vocabulary: compresses about as well as program files and documents do.
QByteArray sampleText(QRandomGenerator& random, int size) {
    static const char* const words[] = {"install", "folder", "program", "archive", "readme",
                                        "setting", "window", "value",   "library", "version",
                                        "0x1f",    "return", "{",       "}",       "\n"};
    QByteArray text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += words[random.bounded(int(std::size(words)))];
        text += ' ';
    }
    text.truncate(size);
    return text;
}

bool run(const QString& program, const QStringList& arguments, const QString& folder = {}) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Where the samples go: memory-backed when the machine offers it, so that the figures show the
// extractors' own cost rather than the disk's mood.
QString sampleBase() {
    const QString shm = QStringLiteral("/dev/shm");
    const QFileInfo info(shm);
    if (info.isDir() && info.isWritable()) {
        return shm + QStringLiteral("/qmorn-bench-XXXXXX");
    }
    return QDir::tempPath() + QStringLiteral("/qmorn-bench-XXXXXX");
}

// The sample tree and its archives, made once.
struct Samples {
    QTemporaryDir dir{sampleBase()};
    QString zip;
    QString lzh;
    QString sevenZip;
    QString tarXz;
    bool ok = false;

    Samples() {
        const QString tree = dir.path() + "/tree";
        QRandomGenerator random(20240501);
        qint64 total = 0;
        for (int i = 0; i < kFiles; ++i) {
            const QString folder = tree + QStringLiteral("/tool/part%1").arg(i / 100);
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/file%1.txt").arg(i));
            const int size = 5000 + random.bounded(40000);
            if (!file.open(QIODevice::WriteOnly) || file.write(sampleText(random, size)) != size) {
                return;
            }
            total += size;
        }
        std::fprintf(stderr, "samples: %d files, %.1f MB in %s\n", kFiles, double(total) / 1e6,
                     qPrintable(dir.path()));
        zip = dir.path() + "/sample.zip";
        lzh = dir.path() + "/sample.lzh";
        sevenZip = dir.path() + "/sample.7z";
        tarXz = dir.path() + "/sample.tar.xz";
        ok = run("bsdtar", {"--format", "zip", "-cf", zip, "tool"}, tree) &&
             run("lha", {"a", lzh, "tool"}, tree) &&
             run("bsdtar", {"--format", "7zip", "-cf", sevenZip, "tool"}, tree) &&
             run("bsdtar", {"--format", "pax", "-cJf", tarXz, "tool"}, tree);
    }
};

Samples& samples() {
    static std::unique_ptr<Samples> made = std::make_unique<Samples>();
    return *made;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Seconds of one extraction into a fresh folder, which is removed afterwards. Dirty pages of
// earlier runs are written out first so that no run pays for another.
double timeOne(const std::function<bool(const QString&)>& extract, const QString& destination) {
    ::sync();
    QElapsedTimer timer;
    timer.start();
    const bool ok = extract(destination);
    const double seconds = timer.nsecsElapsed() / 1e9;
    removeTree(destination);
    return ok ? seconds : -1;
}

struct Pair {
    double ours = -1;
    double bsdtar = -1;
};

// Our extraction and bsdtar's, taking turns so that both meet the same load on the machine.
Pair compare(const std::function<bool(const QString&)>& oursExtract,
             const std::function<bool(const QString&)>& bsdtarExtract, int runs = kRuns) {
    if (!samples().ok) {
        std::fprintf(stderr, "cannot make the sample archives (bsdtar and lha are needed)\n");
        return {};
    }
    std::vector<double> oursTimes;
    std::vector<double> bsdtarTimes;
    const QString destination = samples().dir.path() + QStringLiteral("/out");
    for (int i = 0; i < runs; ++i) {
        oursTimes.push_back(timeOne(oursExtract, destination));
        bsdtarTimes.push_back(timeOne(bsdtarExtract, destination));
    }
    if (std::count(oursTimes.begin(), oursTimes.end(), -1.0) +
            std::count(bsdtarTimes.begin(), bsdtarTimes.end(), -1.0) >
        0) {
        std::fprintf(stderr, "an extraction failed\n");
        return {};
    }
    return {median(oursTimes), median(bsdtarTimes)};
}

bool ours(qint32 (*archiver)(QWidget*, const char*, char*, qint32), const QString& line) {
    QByteArray output(1024, ' ');
    return archiver(nullptr, line.toLocal8Bit().constData(), output.data(), 1024) == 0;
}

bool bsdtar(const QString& archive, const QString& destination) {
    return QDir().mkpath(destination) && run("bsdtar", {"-xf", archive, "-C", destination});
}

const Pair& zipPair() {
    static const Pair pair = compare(
        [](const QString& destination) {
            return ours(&UnZip, zipCommandLine(samples().zip, destination, "-x -s -V -i -C"));
        },
        [](const QString& destination) { return bsdtar(samples().zip, destination); });
    return pair;
}

const Pair& lzhPair() {
    static const Pair pair = compare(
        [](const QString& destination) {
            return ours(&Unlha, lzhCommandLine(samples().lzh, destination, "e", "-x1m0"));
        },
        [](const QString& destination) { return bsdtar(samples().lzh, destination); });
    return pair;
}

// The formats that are extracted directly, without an archiver command line.
Pair directPair(const QString& archive) {
    return compare(
        [archive](const QString& destination) {
            return runExtraction(nullptr, archive, destination).ok();
        },
        [archive](const QString& destination) { return bsdtar(archive, destination); });
}

const Pair& sevenZipPair() {
    static const Pair pair = directPair(samples().sevenZip);
    return pair;
}

const Pair& tarXzPair() {
    static const Pair pair = directPair(samples().tarXz);
    return pair;
}

// A ZIP of 100,000 small files in 100 folders, made once beside the samples.
const QString& manyEntriesZip() {
    static const QString path = [] {
        const QString zip = samples().dir.path() + "/many.zip";
        archive* out = archive_write_new();
        archive_write_set_format_zip(out);
        archive_write_open_filename(out, QFile::encodeName(zip).constData());
        QRandomGenerator random(20240502);
        for (int i = 0; i < kManyEntries; ++i) {
            const QByteArray data = sampleText(random, 200 + random.bounded(400));
            const QByteArray name = QStringLiteral("tool/part%1/file%2.txt")
                                        .arg(i / (kManyEntries / 100))
                                        .arg(i)
                                        .toUtf8();
            archive_entry* entry = archive_entry_new();
            archive_entry_set_pathname(entry, name.constData());
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, data.size());
            archive_write_header(out, entry);
            archive_write_data(out, data.constData(), static_cast<size_t>(data.size()));
            archive_entry_free(entry);
        }
        archive_write_free(out);
        return zip;
    }();
    return path;
}

const Pair& manyEntriesPair() {
    static const Pair pair = compare(
        [](const QString& destination) {
            return ours(&UnZip, zipCommandLine(manyEntriesZip(), destination, "-x -s -V -i -C"));
        },
        [](const QString& destination) { return bsdtar(manyEntriesZip(), destination); }, 3);
    return pair;
}

}  // namespace

QM_FIGURE("extract_zip_100k", [] { return manyEntriesPair().ours; });
QM_FIGURE("bsdtar_zip_100k", [] { return manyEntriesPair().bsdtar; });
QM_FIGURE("extract_zip", [] { return zipPair().ours; });
QM_FIGURE("bsdtar_zip", [] { return zipPair().bsdtar; });
QM_FIGURE("extract_lzh", [] { return lzhPair().ours; });
QM_FIGURE("bsdtar_lzh", [] { return lzhPair().bsdtar; });
QM_FIGURE("extract_7z", [] { return sevenZipPair().ours; });
QM_FIGURE("bsdtar_7z", [] { return sevenZipPair().bsdtar; });
QM_FIGURE("extract_tar_xz", [] { return tarXzPair().ours; });
QM_FIGURE("bsdtar_tar_xz", [] { return tarXzPair().bsdtar; });

}  // namespace qm::bench
