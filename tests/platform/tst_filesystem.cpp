// The file-system seam: paths as bytes, the one rule for letter case, whole-file writes.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/filesystem.h"
#include "platform/pathbytes.h"

#include <sys/stat.h>

using namespace qm;

using Outcome = FoundName::Outcome;

class FileSystemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyByteRoundTrips();
    void namesOnDiskRoundTrip_data();
    void namesOnDiskRoundTrip();
    void findFollowsOneRule_data();
    void findFollowsOneRule();
    void failedWriteLeavesNothing();
    void folderNamesAsListed();
};

// Every single byte, every pair of bytes 0x80 to 0xFF (Shift-JIS lead and trail bytes) and the
// UTF-8 form of a surrogate come back from their text unchanged; none of them reads as a
// surrogate, which no file name can be written back from.
void FileSystemTest::everyByteRoundTrips() {
    QList<QByteArray> samples = {QByteArray("\xED\xA0\x80"), QByteArray("a\xED\xBF\xBFz")};
    for (int b = 1; b < 0x100; ++b) {
        samples.append(QByteArray(1, char(b)));
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0x80; trail < 0x100; ++trail) {
            samples.append(QByteArray{char(lead), char(trail)});
        }
    }
    for (const QByteArray& bytes : std::as_const(samples)) {
        const QString text = FsPath::fromBytes(bytes).text();
        const bool surrogate =
            std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
        if (surrogate || FsPath(text).bytes() != bytes) {
            QFAIL(qPrintable(QStringLiteral("lost: ") + QString::fromLatin1(bytes.toHex(' '))));
        }
    }
}

void FileSystemTest::namesOnDiskRoundTrip_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("utf-8") << QByteArray("日本語") << QStringLiteral("日本語");
    QTest::newRow("shift-jis a") << QByteArray("\x82\xa0") << QStringLiteral("あ");
    QTest::newRow("shift-jis mu at 0x80") << QByteArray("\x83\x80") << QStringLiteral("ム");
    QTest::newRow("private use as utf-8") << QByteArray("\xEE\xBE\x82") << QStringLiteral("\uEF82");
    QTest::newRow("line breaks and quote") << QByteArray("a\r\n\"b") << QStringLiteral("a\r\n\"b");
    QTest::newRow("leading dash") << QByteArray("-x") << QStringLiteral("-x");
}

// A file written under a name in bytes is listed under the text that leads back to it, and shown
// readably.
void FileSystemTest::namesOnDiskRoundTrip() {
    QFETCH(QByteArray, name);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    FileSystem& fs = fileSystem();
    const FsPath file = FsPath(dir.path()).child(FsPath::fromBytes(name).text());
    QVERIFY(fs.writeFile(file, "x"));
    const auto entries = fs.list(dir.path());
    QVERIFY(entries && entries->size() == 1);
    const QString listed = entries->first().name;
    QCOMPARE(FsPath(dir.path()).child(listed).bytes(), file.bytes());
    QCOMPARE(FsPath(listed).shown(), shown);
    QByteArray read;
    QVERIFY(fs.readFile(FsPath(dir.path()).child(listed), &read));
    QCOMPARE(read, QByteArray("x"));
}

void FileSystemTest::findFollowsOneRule_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("found");
    const int none = int(Outcome::None), one = int(Outcome::One), two = int(Outcome::Ambiguous);
    QTest::newRow("exact") << QStringList{"ReadMe.txt"} << "ReadMe.txt" << one << "ReadMe.txt";
    QTest::newRow("other case") << QStringList{"ReadMe.txt"} << "README.TXT" << one << "ReadMe.txt";
    QTest::newRow("exact among spellings")
        << QStringList{"Apps", "APPS", "apps"} << "APPS" << one << "APPS";
    QTest::newRow("two spellings") << QStringList{"Apps", "APPS"} << "apps" << two << "";
    QTest::newRow("none") << QStringList{"Apps"} << "App" << none << "";
    QTest::newRow("raw bytes other case")
        << QStringList{textFromNameBytes("\x82\xa0Tool")} << textFromNameBytes("\x82\xa0TOOL")
        << one << textFromNameBytes("\x82\xa0Tool");
    QTest::newRow("full width") << QStringList{"ＡＰＰＳ"} << "ａｐｐｓ" << one << "ＡＰＰＳ";
}

// Exact spelling first; else the single case-blind match; else ambiguous, never one picked.
void FileSystemTest::findFollowsOneRule() {
    QFETCH(QStringList, names);
    QFETCH(QString, wanted);
    QFETCH(int, outcome);
    QFETCH(QString, found);
    QTemporaryDir dir;
    for (const QString& name : names) {
        QVERIFY(fileSystem().makeFolder(FsPath(dir.path()).child(name)));
    }
    const FoundName result = fileSystem().find(dir.path(), wanted, EntryFilter::Folders);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.name, found);
    QCOMPARE(int(fileSystem().find(dir.path(), wanted, EntryFilter::Files).outcome),
             int(Outcome::None));
    for (const QString& name : names) {
        fileSystem().remove(FsPath(dir.path()).child(name));
    }
}

void FileSystemTest::failedWriteLeavesNothing() {
    QTemporaryDir dir;
    const FsPath file = FsPath(dir.path()).child(QStringLiteral("list"));
    QVERIFY(fileSystem().writeFile(file, "old"));
    QVERIFY(fileSystem().makeFolder(
        file.child(QStringLiteral("x")).parent().parent().child(QStringLiteral("sub"))));
    QString error;
    QVERIFY(
        !fileSystem().writeFile(FsPath(dir.path()).child(QStringLiteral("sub")), "new", &error));
    QVERIFY(!error.isEmpty());
    QByteArray read;
    QVERIFY(fileSystem().readFile(file, &read));
    QCOMPARE(read, QByteArray("old"));
    QCOMPARE(fileSystem().list(dir.path())->size(), 2);  // no temporary file left behind
}

// The quick listing of folder names gives what the full listing does: links to folders count,
// files, links to files and dangling links do not, names that are not text lead back.
void FileSystemTest::folderNamesAsListed() {
    QTemporaryDir dir;
    FileSystem& fs = fileSystem();
    const FsPath root(dir.path());
    QVERIFY(QDir(dir.path()).mkdir("a"));
    const FsPath notText = root.child(FsPath::fromBytes("\x82\xa0").text());
    QVERIFY(::mkdir(notText.c_str(), 0755) == 0);
    QVERIFY(fs.writeFile(root.child("f"), "x"));
    QVERIFY(QFile::link(dir.path() + "/a", dir.path() + "/l"));
    QVERIFY(QFile::link(dir.path() + "/f", dir.path() + "/lf"));
    QVERIFY(QFile::link(dir.path() + "/none", dir.path() + "/d"));
    QStringList expected;
    const auto entries = fs.list(root);
    for (const FolderEntry& entry : *entries) {
        if (entry.status.isFolder()) {
            expected.append(entry.name);
        }
    }
    QStringList names = *fs.listFolderNames(root);
    names.sort();
    expected.sort();
    QCOMPARE(names.size(), 3);
    QCOMPARE(names, expected);
}

QTEST_GUILESS_MAIN(FileSystemTest)
#include "tst_filesystem.moc"
