// Figures of the folder operations: deleting a full tree, moving a folder by rename and by copy,
// each beside what rm -rf and cp -a take for the same tree.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

#include <sys/stat.h>

#include "bench/benchmark.h"
#include "platform/fileoperation.h"
#include "platform/filesystem.h"
#include "platform/foldertree.h"
#include "platform/systemcalls.h"

namespace {

// files files of size bytes in folder/sub<n>, ten to a sub-folder.
void makeFiles(const QString& folder, int files, qint64 size) {
    const QByteArray data(size, 'q');
    for (int i = 0; i < files; ++i) {
        const QString sub = folder + QStringLiteral("/sub%1").arg(i / 10);
        QDir().mkpath(sub);
        QFile file(sub + QStringLiteral("/f%1").arg(i));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(data);
        }
    }
}

qm::FileOperation moveRequest(const QString& from, const QString& to) {
    qm::FileOperation op;
    op.wFunc = qm::FileOperation::Move;
    op.pFrom = from + QStringLiteral("/*.*") + QString(2, QChar(u'\0'));
    op.pTo = to + QString(2, QChar(u'\0'));
    op.fFlags = qm::FileOperation::Silent | qm::FileOperation::NoConfirmation;
    return op;
}

// A folder for the copy's destination on another file system than the temporary folder (the one
// named by QM_OTHER_FS, or /dev/shm); "" when there is none, and the boundary is then injected.
QString otherFileSystem() {
    QString other = qEnvironmentVariable("QM_OTHER_FS");
    if (other.isEmpty()) {
        other = QStringLiteral("/dev/shm");
    }
    struct stat here {};
    struct stat there {};
    const bool found = ::stat(QFile::encodeName(QDir::tempPath()).constData(), &here) == 0 &&
                       ::stat(QFile::encodeName(other).constData(), &there) == 0 &&
                       here.st_dev != there.st_dev;
    return found ? other : QString();
}

// The time one program takes to start and end, which a baseline run as a separate program
// spends besides its work: taken off the baseline, so that both sides are timed alike.
double processStart() {
    return qm::bench::medianSeconds(5, [] { QProcess::execute(QStringLiteral("true"), {}); });
}

// Runs program with arguments and returns the seconds it took without its start.
double timeProgram(const QString& program, const QStringList& arguments) {
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(program, arguments);
    return std::max(0.0, timer.nsecsElapsed() / 1e9 - processStart());
}

// Where there is no second file system, moves copy as if there were.
class ScopedCopying : public qm::SystemCalls {
public:
    explicit ScopedCopying(bool copying) {
        if (copying) {
            qm::SystemCalls::setInstance(this);
        }
    }
    ~ScopedCopying() override { qm::SystemCalls::setInstance(nullptr); }
    bool sameFileSystem(dev_t, dev_t) override { return false; }
};

// Moves 100 MiB in 100 files; copying when crossDevice, from another file system (a tmpfs where
// there is one) toward the disk. With gap, the longest time between two progress calls instead
// of the whole time. With baseline, "cp -a" copies the same tree the same way and "sync -f"
// flushes it to the disk, as the move does, each timed without its program's start.
double timeMove(bool crossDevice, bool gap, bool baseline = false) {
    const QString other = crossDevice ? otherFileSystem() : QString();
    QTemporaryDir sourceDir(other.isEmpty() ? QDir::tempPath() + "/qm-bench-XXXXXX"
                                            : other + "/qm-bench-XXXXXX");
    QTemporaryDir dir;
    makeFiles(sourceDir.path() + "/src", 100, qint64(1) << 20);
    const QString destination = dir.path() + "/dst";
    const ScopedCopying copying(crossDevice && other.isEmpty());
    QElapsedTimer total;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
    double seconds = 0;
    if (baseline) {
        QDir().mkpath(destination);
        seconds = timeProgram(QStringLiteral("cp"),
                              {QStringLiteral("-a"), sourceDir.path() + "/src/.", destination}) +
                  timeProgram(QStringLiteral("sync"), {QStringLiteral("-f"), destination});
    } else {
        total.start();
        sinceLast.start();
        qm::shellFileOperation(moveRequest(sourceDir.path() + "/src", destination), [&] {
            longest = std::max(longest, sinceLast.nsecsElapsed());
            sinceLast.restart();
        });
        seconds = total.nsecsElapsed() / 1e9;
    }
    return gap ? longest / 1e9 : seconds;
}

// Moves a 2 GiB file that holds 4 KiB of data to another file system.
double timeSparseMove() {
    QTemporaryDir dir;
    QFile file(dir.path() + "/src/disk.img");
    QDir().mkpath(dir.path() + "/src");
    if (file.open(QIODevice::WriteOnly) && file.seek((qint64(2) << 30) - 4096)) {
        file.write(QByteArray(4096, 'q'));
    }
    file.close();
    const QString other = otherFileSystem();
    QTemporaryDir otherDir(other.isEmpty() ? QString(dir.path() + "/o-XXXXXX")
                                           : QString(other + "/qm-bench-XXXXXX"));
    const ScopedCopying copying(other.isEmpty());
    QElapsedTimer timer;
    timer.start();
    qm::shellFileOperation(moveRequest(dir.path() + "/src", otherDir.path() + "/dst"));
    const double seconds = timer.nsecsElapsed() / 1e9;
    return seconds;
}

}  // namespace

QM_FIGURE("delete_tree_1001", [] {
    QTemporaryDir dir;
    const QString tree = dir.path() + "/tree";
    makeFiles(tree, 900, 16);  // 900 files in 90 folders: 990 entries
    QElapsedTimer timer;
    timer.start();
    qm::deleteFolderTree(tree);
    return timer.nsecsElapsed() / 1e9;
});

QM_FIGURE("delete_tree_baseline_1001", [] {
    QTemporaryDir dir;
    const QString tree = dir.path() + "/tree";
    makeFiles(tree, 900, 16);
    return timeProgram(QStringLiteral("rm"), {QStringLiteral("-rf"), tree});
});

QM_FIGURE("move_rename_100mib", [] { return timeMove(false, false); });
QM_FIGURE("move_copy_100mib", [] { return timeMove(true, false); });
QM_FIGURE("move_copy_baseline_100mib", [] { return timeMove(true, false, true); });
QM_FIGURE("move_copy_longest_step", [] { return timeMove(true, true); });
QM_FIGURE("move_copy_sparse_2gib", [] { return timeSparseMove(); });

// A folder of 50,000 entries (45,455 files in 4,546 folders) to the trash of its own file system,
// kept in a temporary data folder.
QM_FIGURE("trash_tree_50000", [] {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
    const QString tree = dir.path() + "/tree";
    makeFiles(tree, 45455, 16);
    QElapsedTimer timer;
    timer.start();
    qm::fileSystem().trash(qm::FsPath(tree));
    return timer.nsecsElapsed() / 1e9;
});
