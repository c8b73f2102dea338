#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/fileoperation.h"
#include "platform/filesystem.h"
#include "platform/launcher.h"
#include "platform/pathbytes.h"
#include "support/bytetree.h"
#include "support/scopedfault.h"
#include "support/scopedmount.h"
#include "support/testenvironment.h"

using namespace qm;
using qm::test::TestEnvironment;

namespace {

const QString kNul2 = QString(2, QChar(u'\0'));

FileOperation request(unsigned function, const QString& from, const QString& to) {
    FileOperation op;
    op.wFunc = function;
    op.pFrom = from + "/*.*" + kNul2;
    op.pTo = to + kNul2;
    op.fFlags = FileOperation::Silent | FileOperation::NoConfirmation;
    return op;
}

QMap<QString, QByteArray> snapshot(const QString& folder) {
    return test::byteTree(folder);
}

// A program folder with files, a hidden file, nested and empty folders, and a link.
QString makeProgram(const TestEnvironment& env, const QString& relative) {
    env.writeFile(relative + "/app.exe", "MZ program");
    env.writeFile(relative + "/readme.txt", "読んでください");
    env.writeFile(relative + "/.settings", "hidden");
    env.writeFile(relative + "/data/level1.dat", "one");
    env.writeFile(relative + "/data/deeper/level2.dat", "two");
    env.makeFolder(relative + "/empty");
    const QString path = env.root() + u'/' + relative;
    QFile::link("app.exe", path + "/current");
    QFile::setPermissions(path + "/app.exe", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther);
    // Names that are not text, two that read alike when decoded carelessly, a line break, a
    // leading dash, and a folder named in Shift-JIS.
    const std::filesystem::path native = fsPath(path);
    test::writeRawFile(native / "bad\xff.txt", "not text");
    test::writeRawFile(native /
                           "\xfe"
                           "1.dat",
                       "first");
    test::writeRawFile(native /
                           "\xfd"
                           "1.dat",
                       "second");
    test::writeRawFile(native / "new\nline", "line");
    test::writeRawFile(native / "-dash", "dash");
    test::writeRawFile(native / "\x83\x5c\x83\x74\x83\x67" / "\x93\xc7.txt", "sjis");
    // A read-only folder holding a read-only file.
    test::writeRawFile(native / "fixed/locked.dat", "locked");
    QFile::setPermissions(path + "/fixed/locked.dat", QFileDevice::ReadOwner);
    QFile::setPermissions(path + "/fixed", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return path;
}

// Where the destination lies: beside the source, across an injected file-system boundary, or on
// another real file system.
enum class Boundary { None, Injected, Real };

void addBoundaryRows() {
    QTest::addColumn<Boundary>("boundary");
    QTest::newRow("same file system") << Boundary::None;
    QTest::newRow("injected boundary") << Boundary::Injected;
    QTest::newRow("other file system") << Boundary::Real;
}

// A temporary folder on another file system, removed with whatever a test left in it.
struct OtherFolder {
    QTemporaryDir dir;
    explicit OtherFolder(const QString& base) : dir(base + "/qm-test-XXXXXX") {}
    ~OtherFolder() { test::removeTree(dir.path()); }
};

// A destination folder for the row's boundary (under *other for a real one); "" after a skip.
QString destinationFor(Boundary boundary, const TestEnvironment& env, const QString& relative,
                       std::unique_ptr<OtherFolder>* other) {
    if (boundary != Boundary::Real) {
        return env.makeFolder(relative);
    }
    QString reason;
    const QString base = test::otherFileSystemFolder(env.root(), &reason);
    if (base.isEmpty()) {
        return QString();
    }
    *other = std::make_unique<OtherFolder>(base);
    const QString folder = (*other)->dir.path() + u'/' + relative;
    QDir().mkpath(folder);
    return folder;
}

#define QM_SKIP_WITHOUT_OTHER_FS(folder)                            \
    do {                                                            \
        if ((folder).isEmpty()) {                                   \
            QString reason;                                         \
            test::otherFileSystemFolder(QDir::tempPath(), &reason); \
            QSKIP(qPrintable("no second file system: " + reason));  \
        }                                                           \
    } while (false)

test::FileSystemFault boundaryFault(Boundary boundary) {
    test::FileSystemFault fault;
    fault.crossDevice = boundary == Boundary::Injected;
    return fault;
}

}  // namespace

class FileOperationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void movesEverythingInside_data();
    void movesEverythingInside();
    void copyMergesAndOverwrites_data();
    void copyMergesAndOverwrites();
    void copyReplacesALinkInsteadOfWritingThroughIt();
    void refusesBadRequests();
    void failedMoveLosesNothing_data();
    void failedMoveLosesNothing();
    void failedCopyReportsFailure();
    void keepsWhatACopyKeeps_data();
    void keepsWhatACopyKeeps();
    void fullDestinationIsFoundBeforehand_data();
    void fullDestinationIsFoundBeforehand();
    void changedFileIsCopiedAgainOrKept_data();
    void changedFileIsCopiedAgainOrKept();
    void startsProgramsInFoldersNamedInBytes();
    void trashedFolderCanBeRestored();
};

void FileOperationTest::movesEverythingInside_data() {
    addBoundaryRows();
}

void FileOperationTest::movesEverythingInside() {
    QFETCH(Boundary, boundary);
    TestEnvironment env;
    const QString source = makeProgram(env, "soft/Editor");
    const QMap<QString, QByteArray> before = snapshot(source);
    std::unique_ptr<OtherFolder> other;
    const QString target = destinationFor(boundary, env, "apps/Editor", &other);
    QM_SKIP_WITHOUT_OTHER_FS(target);
    const test::ScopedFileSystemFault guard(boundaryFault(boundary));
    // A file that appears after the move has begun is not part of it.
    int ticks = 0;
    const auto progress = [&] {
        if (++ticks == 2) {
            env.writeFile("soft/Editor/late.txt", "written meanwhile");
        }
    };

    QCOMPARE(shellFileOperation(request(FileOperation::Move, source, target), progress), 0);
    const QMap<QString, QByteArray> arrived = snapshot(target);
    QCOMPARE(arrived, before);
    QCOMPARE(snapshot(source), (QMap<QString, QByteArray>{{"late.txt", "written meanwhile"}}));
    QVERIFY(QFileInfo(target + "/app.exe").permissions().testFlag(QFileDevice::ExeOwner));
    QVERIFY(QFileInfo(target + "/current").isSymLink());
}

void FileOperationTest::copyMergesAndOverwrites_data() {
    addBoundaryRows();
}

void FileOperationTest::copyMergesAndOverwrites() {
    QFETCH(Boundary, boundary);
    TestEnvironment env;
    const QString source = makeProgram(env, "links");
    const QMap<QString, QByteArray> before = snapshot(source);
    std::unique_ptr<OtherFolder> other;
    const QString target = destinationFor(boundary, env, "menu", &other);
    QM_SKIP_WITHOUT_OTHER_FS(target);
    test::writeRawFile(fsPath(target + "/readme.txt"), "old text");
    test::writeRawFile(fsPath(target + "/mine.txt"), "kept");
    test::writeRawFile(fsPath(target + "/data/other.dat"), "kept too");
    const test::ScopedFileSystemFault guard(boundaryFault(boundary));

    QCOMPARE(shellFileOperation(request(FileOperation::Copy, source, target)), 0);
    QCOMPARE(snapshot(source), before);
    QMap<QString, QByteArray> expected = before;
    expected.insert("mine.txt", "kept");
    expected.insert("data/other.dat", "kept too");
    QCOMPARE(snapshot(target), expected);

    // A missing destination is created.
    QCOMPARE(shellFileOperation(request(FileOperation::Copy, source, target + "/new/menu")), 0);
    QCOMPARE(snapshot(target + "/new/menu"), before);
}

void FileOperationTest::keepsWhatACopyKeeps_data() {
    addBoundaryRows();
}

void FileOperationTest::keepsWhatACopyKeeps() {
    QFETCH(Boundary, boundary);
    TestEnvironment env;
    const QString source = env.makeFolder("soft/Image");
    const QByteArray image = QFile::encodeName(source + "/disk.img");
    {
        QFile file(source + "/disk.img");
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.seek(qint64(64) << 20));
        file.write("end");
    }
    QCOMPARE(::setxattr(image.constData(), "user.origin", "disk", 4, 0), 0);
    QCOMPARE(::link(image.constData(), QFile::encodeName(source + "/same.img").constData()), 0);
    QVERIFY(QFile::link("disk.img", source + "/current"));
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(source + "/current").constData(), old,
                AT_SYMLINK_NOFOLLOW);
    std::unique_ptr<OtherFolder> other;
    const QString target = destinationFor(boundary, env, "apps/Image", &other);
    QM_SKIP_WITHOUT_OTHER_FS(target);
    const test::ScopedFileSystemFault guard(boundaryFault(boundary));

    QCOMPARE(shellFileOperation(request(FileOperation::Move, source, target)), 0);
    const QByteArray moved = QFile::encodeName(target + "/disk.img");
    struct stat st {};
    struct stat link {};
    struct stat same {};
    QCOMPARE(::stat(moved.constData(), &st), 0);
    QCOMPARE(::lstat(QFile::encodeName(target + "/current").constData(), &link), 0);
    QCOMPARE(::stat(QFile::encodeName(target + "/same.img").constData(), &same), 0);
    char origin[8] = {};
    QCOMPARE(::getxattr(moved.constData(), "user.origin", origin, sizeof origin), ssize_t(4));
    QCOMPARE(QByteArray(origin), QByteArray("disk"));
    QCOMPARE(st.st_size, (qint64(64) << 20) + 3);
    QVERIFY2(st.st_blocks * 512 < (qint64(1) << 20), "the holes were filled");
    QCOMPARE(same.st_ino, st.st_ino);
    QCOMPARE(link.st_mtim.tv_sec, old[1].tv_sec);
    QVERIFY(snapshot(source).isEmpty());
}

void FileOperationTest::fullDestinationIsFoundBeforehand_data() {
    QTest::addColumn<qint64>("written");
    QTest::addColumn<bool>("fits");
    QTest::newRow("2 GiB with holes") << qint64(4096) << true;
    QTest::newRow("16 MiB of data") << (qint64(16) << 20) << false;
}

// Needs a file system of 8 MiB, which test.sh mounts and names in QM_SMALL_FS.
void FileOperationTest::fullDestinationIsFoundBeforehand() {
    QFETCH(qint64, written);
    QFETCH(bool, fits);
    const QString small = qEnvironmentVariable("QM_SMALL_FS");
    if (small.isEmpty()) {
        QSKIP("no small file system: test.sh mounts one as root and names it in QM_SMALL_FS");
    }
    TestEnvironment env;
    const QString source = env.makeFolder("soft/Image");
    QFile file(source + "/disk.img");
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.seek((qint64(2) << 30) - written));
    file.write(QByteArray(written, 'x'));
    file.close();
    const OtherFolder other(small);
    const QString target = other.dir.path() + "/Image";
    TransferOutcome outcome;
    const int result =
        shellFileOperation(request(FileOperation::Move, source, target), {}, &outcome);
    if (fits) {
        QCOMPARE(result, 0);
        QCOMPARE(QFileInfo(target + "/disk.img").size(), qint64(2) << 30);
        return;
    }
    QVERIFY(result != 0);
    QCOMPARE(outcome.problem, TransferOutcome::Problem::NoSpace);
    QCOMPARE(QFileInfo(source + "/disk.img").size(), qint64(2) << 30);
    QVERIFY(QDir(target).isEmpty());
}

void FileOperationTest::changedFileIsCopiedAgainOrKept_data() {
    QTest::addColumn<Boundary>("boundary");
    QTest::addColumn<int>("changes");
    QTest::addColumn<QString>("changedDuring");  // a file whose copy changes the log meanwhile
    QTest::addColumn<bool>("heldOpen");
    QTest::addColumn<QString>("expected");  // arrives, stays (in the source) or refused
    for (const Boundary boundary : {Boundary::Injected, Boundary::Real}) {
        const char* name = boundary == Boundary::Real ? "other file system" : "injected boundary";
        QTest::addRow("%s, changed once", name) << boundary << 1 << "" << false << "arrives";
        QTest::addRow("%s, keeps changing", name) << boundary << 1000 << "" << false << "stays";
        QTest::addRow("%s, changed during its own copy", name)
            << boundary << 1 << "data/log.txt" << false << "arrives";
        QTest::addRow("%s, changed during another file's copy", name)
            << boundary << 1 << "readme.txt" << false << "arrives";
        QTest::addRow("%s, changed during each of its copies", name)
            << boundary << 1000 << "data/log.txt" << false << "stays";
        QTest::addRow("%s, held open by a writer", name)
            << boundary << 0 << "" << true << "refused";
    }
}

void FileOperationTest::changedFileIsCopiedAgainOrKept() {
    QFETCH(Boundary, boundary);
    QFETCH(int, changes);
    QFETCH(QString, changedDuring);
    QFETCH(bool, heldOpen);
    QFETCH(QString, expected);
    TestEnvironment env;
    const QString source = env.root() + "/soft/Tool";
    const QString log = env.writeFile("soft/Tool/data/log.txt", "start");
    env.writeFile("soft/Tool/app.exe", "MZ");
    env.writeFile("soft/Tool/readme.txt", "read me");
    std::unique_ptr<OtherFolder> other;
    const QString target = destinationFor(boundary, env, "apps/Tool", &other);
    QM_SKIP_WITHOUT_OTHER_FS(target);
    QFile writer(log);
    if (heldOpen) {
        QVERIFY(writer.open(QIODevice::Append | QIODevice::Unbuffered));
    }
    const auto change = [&] {
        if (changes > 0) {
            --changes;
            QFile file(log);
            QVERIFY(file.open(QIODevice::Append));
            file.write("+");
        }
    };
    test::FileSystemFault fault = boundaryFault(boundary);
    if (!changedDuring.isEmpty()) {
        fault.duringCopy = [&](const QString& path) {
            if (path == source + u'/' + changedDuring) {
                change();
            }
        };
    }
    const test::ScopedFileSystemFault guard(fault);
    // Without a file named, the program writes its log while the move runs: ticks come before
    // each entry and after each part of a file copied.
    int ticks = 0;
    const auto progress = [&] {
        if (++ticks > 2 && changedDuring.isEmpty()) {
            change();
        }
    };

    TransferOutcome outcome;
    const int result =
        shellFileOperation(request(FileOperation::Move, source, target), progress, &outcome);
    if (heldOpen) {
        writer.write("+later");
        writer.close();
    }
    QVERIFY(!snapshot(target).keys().join(u'|').contains(".qm-"));
    if (expected == "refused") {
        QVERIFY(result != 0);
        QCOMPARE(outcome.problem, TransferOutcome::Problem::HeldOpen);
        QCOMPARE(outcome.path, log);
        QCOMPARE(snapshot(source).value("data/log.txt"), QByteArray("start+later"));
        QVERIFY(snapshot(target).isEmpty());
        return;
    }
    QCOMPARE(result, 0);
    QCOMPARE(TestEnvironment::readFile(target + "/app.exe"), QByteArray("MZ"));
    QCOMPARE(TestEnvironment::readFile(target + "/readme.txt"), QByteArray("read me"));
    const bool arrives = expected == "arrives";
    QVERIFY(!QFileInfo::exists(arrives ? log : target + "/data/log.txt"));
    const QString where = arrives ? target + "/data/log.txt" : log;
    if (arrives) {
        QCOMPARE(TestEnvironment::readFile(where), QByteArray("start+"));
    } else {
        QVERIFY(TestEnvironment::readFile(where).startsWith("start++"));
    }
}

void FileOperationTest::copyReplacesALinkInsteadOfWritingThroughIt() {
    TestEnvironment env;
    env.writeFile("src/note.txt", "new");
    const QString outside = env.writeFile("outside.txt", "precious");
    env.makeFolder("dst");
    QVERIFY(QFile::link(outside, env.root() + "/dst/note.txt"));

    QCOMPARE(
        shellFileOperation(request(FileOperation::Copy, env.root() + "/src", env.root() + "/dst")),
        0);
    QCOMPARE(TestEnvironment::readFile(outside), QByteArray("precious"));
    QVERIFY(!QFileInfo(env.root() + "/dst/note.txt").isSymLink());
    QCOMPARE(TestEnvironment::readFile(env.root() + "/dst/note.txt"), QByteArray("new"));
}

void FileOperationTest::refusesBadRequests() {
    TestEnvironment env;
    const QString source = makeProgram(env, "soft/Editor");
    const QMap<QString, QByteArray> before = snapshot(source);
    const QString file = env.writeFile("plain", "x");

    QVERIFY(shellFileOperation(
                request(FileOperation::Move, env.root() + "/missing", env.makeFolder("t1"))) != 0);
    QVERIFY(shellFileOperation(request(FileOperation::Move, source, source + "/data/inside")) != 0);
    QVERIFY(shellFileOperation(request(FileOperation::Copy, source, source)) != 0);
    QVERIFY(shellFileOperation(request(FileOperation::Move, source, file)) != 0);
    QVERIFY(shellFileOperation(request(3, source, env.makeFolder("t2"))) != 0);
    QVERIFY(shellFileOperation(request(FileOperation::Move, source, QString())) != 0);
    QCOMPARE(snapshot(source), before);
    QVERIFY(!QFileInfo::exists(source + "/data/inside"));
}

void FileOperationTest::failedMoveLosesNothing_data() {
    QTest::addColumn<bool>("crossDevice");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("path");
    QTest::addColumn<TransferOutcome::Problem>("problem");
    using P = TransferOutcome::Problem;
    QTest::newRow("rename, top-level file") << false << "refuse"
                                            << "readme.txt" << P::Failed;
    QTest::newRow("rename, read-only folder") << false << "refuse"
                                              << "fixed" << P::Failed;
    QTest::newRow("across, nested file") << true << "refuse"
                                         << "data/deeper/level2.dat" << P::Failed;
    QTest::newRow("across, top-level file") << true << "refuse"
                                            << "readme.txt" << P::Failed;
    QTest::newRow("across, emptied folder") << true << "refuse"
                                            << "data" << P::Failed;
    QTest::newRow("across, copy breaks midway") << true << "break"
                                                << "readme.txt" << P::Failed;
    QTest::newRow("across, nested copy breaks") << true << "break"
                                                << "data/deeper/level2.dat" << P::Failed;
    QTest::newRow("across, flush fails") << true << "flush"
                                         << "" << P::Failed;
    QTest::newRow("across, a pipe") << true << "pipe"
                                    << "data/pipe" << P::Unmovable;
    QTest::newRow("across, unreadable file") << true << "unreadable"
                                             << "data/level1.dat" << P::Unreadable;
    QTest::newRow("across, unreadable folder") << true << "unreadable"
                                               << "data/deeper" << P::Unreadable;
    QTest::newRow("across, mount inside") << true << "mount"
                                          << "empty" << P::MountPoint;
    QTest::newRow("rename, a running program") << false << "run"
                                               << "data/tool" << P::HeldOpen;
    QTest::newRow("across, a running program") << true << "run"
                                               << "data/tool" << P::HeldOpen;
}

void FileOperationTest::failedMoveLosesNothing() {
    QFETCH(bool, crossDevice);
    QFETCH(QString, fault);
    QFETCH(QString, path);
    QFETCH(TransferOutcome::Problem, problem);
    TestEnvironment env;
    const QString source = makeProgram(env, "soft/Editor");
    const QString faultPath = path.isEmpty() ? QString() : source + u'/' + path;
    if (fault == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(faultPath).constData(), 0600), 0);
    }
    QProcess running;
    if (fault == "run") {
        QVERIFY(QFile::copy("/bin/sleep", faultPath));
        running.start(faultPath, {"30"});
        QVERIFY(running.waitForStarted());
    }
    const QMap<QString, QByteArray> before = snapshot(source);
    if (fault == "unreadable") {
        if (::geteuid() == 0) {
            QSKIP("root reads every file: test.sh runs this as an unprivileged user");
        }
        QVERIFY(::chmod(QFile::encodeName(faultPath).constData(), 0) == 0);
    }
    const test::ScopedMount mount(fault == "mount" ? faultPath : QString());
    if (fault == "mount" && !mount.mounted()) {
        QSKIP("no tmpfs could be mounted inside the tree (test.sh mounts as root)");
    }
    const QString target = env.makeFolder("apps/Editor");
    test::FileSystemFault planted;
    planted.crossDevice = crossDevice;
    planted.failsFlush = fault == "flush";
    const auto matches = [faultPath](const QString& p) { return p == faultPath; };
    if (fault == "refuse") {
        planted.refuses = matches;
    } else if (fault == "break") {
        planted.breaksCopy = matches;
    }
    TransferOutcome outcome;
    {
        const test::ScopedFileSystemFault guard(planted);
        QVERIFY(shellFileOperation(request(FileOperation::Move, source, target), {}, &outcome) !=
                0);
    }
    running.kill();
    running.waitForFinished();
    QCOMPARE(outcome.problem, problem);
    if (!faultPath.isEmpty() && problem != TransferOutcome::Problem::Failed) {
        QCOMPARE(outcome.path, faultPath);
    }
    if (fault == "unreadable") {
        ::chmod(QFile::encodeName(faultPath).constData(), 0700);
    }
    // What moved was put back: the source is whole, the destination as it was.
    QVERIFY(outcome.putBack);
    QCOMPARE(snapshot(source), before);
    QVERIFY(snapshot(target).isEmpty());
}

void FileOperationTest::failedCopyReportsFailure() {
    TestEnvironment env;
    const QString source = makeProgram(env, "links");
    const QString target = env.root() + "/menu";
    env.makeFolder("menu/readme.txt");  // a folder where a file must go
    QVERIFY(shellFileOperation(request(FileOperation::Copy, source, target)) != 0);

    const QString refusedPath = env.root() + "/menu2/data/level1.dat";
    test::FileSystemFault fault;
    fault.refuses = [refusedPath](const QString& p) { return p == refusedPath; };
    const test::ScopedFileSystemFault guard(fault);
    QVERIFY(shellFileOperation(request(FileOperation::Copy, source, env.root() + "/menu2")) != 0);
    QVERIFY(!QFileInfo::exists(refusedPath));
}

// Starting a program is part of acting on the real folder: a folder (and program) whose name is
// not text must still be the one started and the one it starts in.
void FileOperationTest::startsProgramsInFoldersNamedInBytes() {
    TestEnvironment env;
    const std::filesystem::path folder = fsPath(env.root()) / "\x83\x5c\x83\x74 $(x)\n";
    const std::filesystem::path program = folder / "run\xff.sh";
    test::writeRawFile(program, "#!/bin/sh\npwd > \"$1\"\nprintf '%s' \"$2\" >> \"$1\"\n");
    std::filesystem::permissions(program, std::filesystem::perms(0700));
    const QString out = env.root() + "/out";
    QString workingDirectory = pathText(folder);
    const Command command =
        startableCommand({pathText(program), {out, "plain 'text'"}}, &workingDirectory);
    QVERIFY(workingDirectory.isEmpty());
    QCOMPARE(QProcess::execute(command.program, command.arguments), 0);
    QCOMPARE(TestEnvironment::readFile(out),
             QByteArray::fromStdString(folder.native()) + "\nplain 'text'");

    // Text names are left to the process as they are.
    QString textFolder = env.root();
    const Command plain = startableCommand({"/bin/true", {"a"}}, &textFolder);
    QCOMPARE(plain.program, QStringLiteral("/bin/true"));
    QCOMPARE(textFolder, env.root());
}

// The trash gets the folder, with the information a file manager restores it from, whatever
// bytes its name holds.
void FileOperationTest::trashedFolderCanBeRestored() {
    TestEnvironment env;
    const QString name = textFromNameBytes("\x83\x5c\x83\x74 trashed");
    const QString path = env.root() + u'/' + name;
    test::writeRawFile(fsPath(path + "/app.exe"), "MZ");
    QString error;

    QVERIFY2(fileSystem().trash(FsPath(path), &error), qPrintable(error));
    QVERIFY(!fileSystem().status(FsPath(path)).exists());
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash";
    QCOMPARE(test::byteTree(trash + "/files/" + name),
             (QMap<QString, QByteArray>{{"app.exe", "MZ"}}));
    std::ifstream info(fsPath(trash + "/info/" + name + ".trashinfo"));
    const std::string infoText{std::istreambuf_iterator<char>(info), {}};
    QVERIFY(infoText.find("Path=") != std::string::npos);

    // A file system in memory has no trash: that is said, and the folder stays whole.
    QString reason;
    const QString other = test::otherFileSystemFolder(env.root(), &reason);
    struct statfs kind {};
    if (other.isEmpty() || ::statfs(QFile::encodeName(other).constData(), &kind) != 0 ||
        kind.f_type != TMPFS_MAGIC) {
        QSKIP(qPrintable("no second file system in memory: " + reason));
    }
    const OtherFolder inMemory(other);
    const QString kept = inMemory.dir.path() + "/kept";
    test::writeRawFile(fsPath(kept + "/app.exe"), "MZ");
    QVERIFY(!fileSystem().trash(FsPath(kept), &error));
    QCOMPARE(error, QString("このフォルダのあるファイルシステムにはごみ箱がありません。"));
    QCOMPARE(test::byteTree(kept), (QMap<QString, QByteArray>{{"app.exe", "MZ"}}));
}

QTEST_MAIN(FileOperationTest)
#include "tst_fileoperation.moc"
