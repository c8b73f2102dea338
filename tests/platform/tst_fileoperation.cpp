#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

#include "platform/fileoperation.h"
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

// Every file and link below folder (relative path -> contents or "-> target").
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString relative = QDir(folder).relativeFilePath(path);
        if (info.isSymLink()) {
            files.insert(
                relative,
                "-> " + QByteArray::fromStdString(
                            std::filesystem::read_symlink(QFile::encodeName(path).toStdString())
                                .native()));
        } else if (info.isFile()) {
            files.insert(relative, TestEnvironment::readFile(path));
        } else if (QDir(path).isEmpty()) {
            files.insert(relative + u'/', QByteArray());
        }
    }
    return files;
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
    return path;
}

void addCrossDeviceRows() {
    QTest::addColumn<bool>("crossDevice");
    QTest::newRow("same file system") << false;
    QTest::newRow("across file systems") << true;
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
};

void FileOperationTest::movesEverythingInside_data() {
    addCrossDeviceRows();
}

void FileOperationTest::movesEverythingInside() {
    QFETCH(bool, crossDevice);
    TestEnvironment env;
    const QString source = makeProgram(env, "soft/Editor");
    const QMap<QString, QByteArray> before = snapshot(source);
    const QString target = env.makeFolder("apps/Editor");
    FileSystemFault fault;
    fault.crossDevice = crossDevice;
    const test::ScopedFileSystemFault guard(fault);
    int ticks = 0;

    QCOMPARE(shellFileOperation(request(FileOperation::Move, source, target), [&] { ++ticks; }), 0);
    QCOMPARE(snapshot(target), before);
    QVERIFY(QDir(source).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                 QDir::NoDotAndDotDot));
    QVERIFY(ticks > 0);
    QVERIFY(QFileInfo(target + "/app.exe").permissions().testFlag(QFileDevice::ExeOwner));
    QVERIFY(QFileInfo(target + "/current").isSymLink());
    // No temporary file is left behind.
    QVERIFY(!snapshot(target).keys().join(u'|').contains(".qm-"));
}

void FileOperationTest::copyMergesAndOverwrites_data() {
    addCrossDeviceRows();
}

void FileOperationTest::copyMergesAndOverwrites() {
    QFETCH(bool, crossDevice);
    TestEnvironment env;
    const QString source = makeProgram(env, "links");
    const QMap<QString, QByteArray> before = snapshot(source);
    env.writeFile("menu/readme.txt", "old text");
    env.writeFile("menu/mine.txt", "kept");
    env.writeFile("menu/data/other.dat", "kept too");
    const QString target = env.root() + "/menu";
    FileSystemFault fault;
    fault.crossDevice = crossDevice;
    const test::ScopedFileSystemFault guard(fault);

    QCOMPARE(shellFileOperation(request(FileOperation::Copy, source, target)), 0);
    QCOMPARE(snapshot(source), before);
    QMap<QString, QByteArray> expected = before;
    expected.insert("mine.txt", "kept");
    expected.insert("data/other.dat", "kept too");
    QCOMPARE(snapshot(target), expected);

    // A missing destination is created.
    QCOMPARE(shellFileOperation(request(FileOperation::Copy, source, env.root() + "/new/menu")), 0);
    QCOMPARE(snapshot(env.root() + "/new/menu"), before);
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
    QTest::addColumn<QString>("refused");
    QTest::newRow("rename, top-level file") << false << "readme.txt";
    QTest::newRow("across, nested file") << true << "data/deeper/level2.dat";
    QTest::newRow("across, top-level file") << true << "readme.txt";
    QTest::newRow("across, emptied folder") << true << "data";
}

void FileOperationTest::failedMoveLosesNothing() {
    QFETCH(bool, crossDevice);
    QFETCH(QString, refused);
    TestEnvironment env;
    const QString source = makeProgram(env, "soft/Editor");
    const QMap<QString, QByteArray> before = snapshot(source);
    const QString target = env.makeFolder("apps/Editor");
    FileSystemFault fault;
    fault.crossDevice = crossDevice;
    const QString refusedPath = source + u'/' + refused;
    fault.refuses = [refusedPath](const QString& p) { return p == refusedPath; };
    {
        const test::ScopedFileSystemFault guard(fault);
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
    QVERIFY(QFileInfo::exists(refusedPath));
    QVERIFY(!left.isEmpty());
    QVERIFY(!arrived.isEmpty());
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

QTEST_MAIN(FileOperationTest)
#include "tst_fileoperation.moc"
