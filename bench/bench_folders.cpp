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
#include "platform/foldertree.h"
#include "platform/fileoperation.h"

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

// Moves 100 MiB in 100 files; copying when crossDevice, to another file system where there is
// one. With gap, the longest time between two progress calls instead of the whole time. With
// baseline, "cp -a" copies the same tree across the same boundary instead.
double timeMove(bool crossDevice, bool gap, bool baseline = false) {
    QTemporaryDir dir;
    makeFiles(dir.path() + "/src", 100, qint64(1) << 20);
    const QString other = crossDevice ? otherFileSystem() : QString();
    QTemporaryDir otherDir(other.isEmpty() ? QString(dir.path() + "/o-XXXXXX")
                                           : QString(other + "/qm-bench-XXXXXX"));
    const QString destination = otherDir.path() + "/dst";
    qm::FileSystemFault fault;
    fault.crossDevice = crossDevice && other.isEmpty();
    qm::setFileSystemFault(fault);
    QElapsedTimer total;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
    total.start();
    sinceLast.start();
    if (baseline) {
        QDir().mkpath(destination);
        QProcess::execute(QStringLiteral("cp"),
                          {QStringLiteral("-a"), dir.path() + "/src/.", destination});
    } else {
        qm::shellFileOperation(moveRequest(dir.path() + "/src", destination), [&] {
            longest = std::max(longest, sinceLast.nsecsElapsed());
            sinceLast.restart();
        });
    }
    const double seconds = total.nsecsElapsed() / 1e9;
    qm::setFileSystemFault(qm::FileSystemFault());
    return gap ? longest / 1e9 : seconds;
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
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), tree});
    return timer.nsecsElapsed() / 1e9;
});

QM_FIGURE("move_rename_100mib", [] { return timeMove(false, false); });
QM_FIGURE("move_copy_100mib", [] { return timeMove(true, false); });
QM_FIGURE("move_copy_baseline_100mib", [] { return timeMove(true, false, true); });
QM_FIGURE("move_copy_longest_step", [] { return timeMove(true, true); });
