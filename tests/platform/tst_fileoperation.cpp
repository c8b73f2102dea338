#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <memory>

#include <sys/stat.h>

#include "platform/fileoperation.h"
#include "platform/launcher.h"
#include "platform/pathbytes.h"
#include "support/bytetree.h"
#include "support/scopedfault.h"
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

FileSystemFault boundaryFault(Boundary boundary) {
    FileSystemFault fault;
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
    void changedFileIsCopiedAgainOrKept_data();
    void changedFileIsCopiedAgainOrKept();
    void startsProgramsInFoldersNamedInBytes();
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

void FileOperationTest::changedFileIsCopiedAgainOrKept_data() {
    QTest::addColumn<Boundary>("boundary");
    QTest::addColumn<int>("changes");
    QTest::addColumn<bool>("heldOpen");
    QTest::addColumn<bool>("arrives");
    for (const Boundary boundary : {Boundary::Injected, Boundary::Real}) {
        const char* name = boundary == Boundary::Real ? "other file system" : "injected boundary";
        QTest::addRow("%s, changed once", name) << boundary << 1 << false << true;
        QTest::addRow("%s, keeps changing", name) << boundary << 1000 << false << false;
        QTest::addRow("%s, held open by a writer", name) << boundary << 0 << true << false;
    }
}

void FileOperationTest::changedFileIsCopiedAgainOrKept() {
    QFETCH(Boundary, boundary);
    QFETCH(int, changes);
    QFETCH(bool, heldOpen);
    QFETCH(bool, arrives);
    TestEnvironment env;
    const QString log = env.writeFile("soft/Tool/log.txt", "start");
    env.writeFile("soft/Tool/app.exe", "MZ");
    std::unique_ptr<OtherFolder> other;
    const QString target = destinationFor(boundary, env, "apps/Tool", &other);
    QM_SKIP_WITHOUT_OTHER_FS(target);
    QFile writer(log);
    if (heldOpen) {
        QVERIFY(writer.open(QIODevice::Append | QIODevice::Unbuffered));
    }
    const test::ScopedFileSystemFault guard(boundaryFault(boundary));
    // The program writes its log while it is being copied: ticks come before each entry and
    // after each part of a file copied.
    int ticks = 0;
    const auto progress = [&] {
        if (++ticks > 2 && changes > 0) {
            --changes;
            QFile file(log);
            QVERIFY(file.open(QIODevice::Append));
            file.write("+");
        }
    };

    QCOMPARE(shellFileOperation(request(FileOperation::Move, env.root() + "/soft/Tool", target),
                                progress),
             0);
    QCOMPARE(TestEnvironment::readFile(target + "/app.exe"), QByteArray("MZ"));
    if (heldOpen) {
        writer.write("+later");
        writer.close();
    }
    const QString where = arrives ? target + "/log.txt" : log;
    QVERIFY(!QFileInfo::exists(arrives ? log : target + "/log.txt"));
    if (arrives) {
        QCOMPARE(TestEnvironment::readFile(where), QByteArray("start+"));
    } else if (heldOpen) {
        QCOMPARE(TestEnvironment::readFile(where), QByteArray("start+later"));
    } else {
        QVERIFY(TestEnvironment::readFile(where).startsWith("start++"));
    }
    QVERIFY(!snapshot(target).keys().join(u'|').contains(".qm-"));
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
    QTest::newRow("rename, top-level file") << false << "refuse"
                                            << "readme.txt";
    QTest::newRow("across, nested file") << true << "refuse"
                                         << "data/deeper/level2.dat";
    QTest::newRow("across, top-level file") << true << "refuse"
                                            << "readme.txt";
    QTest::newRow("across, emptied folder") << true << "refuse"
                                            << "data";
    QTest::newRow("across, copy breaks midway") << true << "break"
                                                << "readme.txt";
    QTest::newRow("across, nested copy breaks") << true << "break"
                                                << "data/deeper/level2.dat";
    QTest::newRow("across, a pipe") << true << "pipe"
                                    << "data/pipe";
}

void FileOperationTest::failedMoveLosesNothing() {
    QFETCH(bool, crossDevice);
    QFETCH(QString, fault);
    QFETCH(QString, path);
    TestEnvironment env;
    const QString source = makeProgram(env, "soft/Editor");
    const QString faultPath = source + u'/' + path;
    if (fault == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(faultPath).constData(), 0600), 0);
    }
    const QMap<QString, QByteArray> before = snapshot(source);
    const QString target = env.makeFolder("apps/Editor");
    FileSystemFault planted;
    planted.crossDevice = crossDevice;
    const auto matches = [faultPath](const QString& p) { return p == faultPath; };
    if (fault == "refuse") {
        planted.refuses = matches;
    } else if (fault == "break") {
        planted.breaksCopy = matches;
    }
    {
        const test::ScopedFileSystemFault guard(planted);
        QVERIFY(shellFileOperation(request(FileOperation::Move, source, target)) != 0);
    }
    // Every file is in the source or in the destination, whole.
    const QMap<QString, QByteArray> left = snapshot(source);
    const QMap<QString, QByteArray> arrived = snapshot(target);
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.key().endsWith(u'/')) {
            continue;
        }
        const bool inSource = left.value(it.key()) == it.value() && left.contains(it.key());
        const bool inTarget = arrived.value(it.key()) == it.value() && arrived.contains(it.key());
        QVERIFY2(inSource || inTarget, qPrintable(it.key()));
    }
    QVERIFY(QFileInfo::exists(faultPath));
    QVERIFY(!left.isEmpty());
    QVERIFY(!arrived.isEmpty());
    QVERIFY(!arrived.keys().join(u'|').contains(".qm-"));
}

void FileOperationTest::failedCopyReportsFailure() {
    TestEnvironment env;
    const QString source = makeProgram(env, "links");
    const QString target = env.root() + "/menu";
    env.makeFolder("menu/readme.txt");  // a folder where a file must go
    QVERIFY(shellFileOperation(request(FileOperation::Copy, source, target)) != 0);

    const QString refusedPath = env.root() + "/menu2/data/level1.dat";
    FileSystemFault fault;
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

QTEST_MAIN(FileOperationTest)
#include "tst_fileoperation.moc"
