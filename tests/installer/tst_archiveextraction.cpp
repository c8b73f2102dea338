// Extraction of LZH and ZIP archives: command lines, every format variant, legacy names, and
// hostile or damaged archives that must leave nothing behind.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTest>
#include <QWidget>

#include <sys/resource.h>
#include <csignal>

#include "installer/archivecommand.h"
#include "installer/archiverlibrary.h"
#include "installer/entrypath.h"
#include "installer/extractionrunner.h"
#include "installer/lhazip.h"
#include "lzhbuilder.h"
#include "support/testenvironment.h"

using namespace qm;
using qm::test::LzhBuilder;
using qm::test::TestEnvironment;

namespace {

QString fixture(const QString& name) {
    return QStringLiteral(QM_TEST_DATA "/installer/") + name;
}

// Every path below folder, relative, sorted; links marked with "@".
QStringList tree(const QString& folder) {
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        paths.append(QDir(folder).relativeFilePath(path) + (info.isSymLink() ? "@" : ""));
    }
    paths.sort();
    return paths;
}

QByteArray sequence(int last) {
    QByteArray bytes;
    for (int i = 1; i <= last; ++i) {
        bytes += QByteArray::number(i) + '\n';
    }
    return bytes;
}

QByteArray cp932(const QString& text) {
    QStringEncoder encoder("CP932");
    return encoder.encode(text);
}

// Records what the extraction reports to its window.
class ProgressWindow : public QWidget, public ExtractionProgressSink {
public:
    int started = 0;
    int finished = 0;
    QList<qint64> done;
    qint64 total = -1;
    void extractionStarted() override { ++started; }
    void extractionProgress(qint64 bytes, qint64 expected) override {
        done.append(bytes);
        total = expected;
    }
    void extractionFinished() override { ++finished; }
};

}  // namespace

class ArchiveExtractionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quoting_data();
    void quoting();
    void trailingSeparator_data();
    void trailingSeparator();
    void commandLines();
    void splitting_data();
    void splitting();
    void entryPaths_data();
    void entryPaths();

    void formats_data();
    void formats();
    void japaneseNames_data();
    void japaneseNames();
    void generatedLzh_data();
    void generatedLzh();
    void refused_data();
    void refused();
    void linkInsideIsKept();
    void missingArchive();
    void hiddenArchives();
    void quotedPathsRoundTrip();
    void archiverRejectsBadCommandLines_data();
    void archiverRejectsBadCommandLines();
    void overwritesIntoExistingFolder();
    void workFolderBehindLink();
    void fullDiskLeavesNothing();
    void progressIsReported();
};

void ArchiveExtractionTest::quoting_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/w/tool"
                           << "/w/tool";
    QTest::newRow("dot") << "/w/a.lzh"
                         << "\"/w/a.lzh\"";
    QTest::newRow("space") << "/w/my tool"
                           << "\"/w/my tool\"";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("ideographic space is no space") << "/w/a　b"
                                                   << "/w/a　b";
}

void ArchiveExtractionTest::quoting() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(quoteIfNeeded(input), expected);
}

void ArchiveExtractionTest::trailingSeparator_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("added") << "/w/tool"
                           << "/w/tool/";
    QTest::newRow("kept single") << "/w/tool/"
                                 << "/w/tool/";
    QTest::newRow("spaces trimmed") << "/w/tool  "
                                    << "/w/tool/";
    QTest::newRow("separator before spaces") << "/w/tool/ "
                                             << "/w/tool//";
    QTest::newRow("empty") << ""
                           << "/";
}

void ArchiveExtractionTest::trailingSeparator() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(withTrailingBackslash(input), expected);
}

void ArchiveExtractionTest::commandLines() {
    QCOMPARE(lzhCommandLine("/in/my tool.lzh", "/work/apps/tool", "e", "-x1m0"),
             QStringLiteral("e -x1m0 \"/in/my tool.lzh\" /work/apps/tool/ "));
    QCOMPARE(lzhCommandLine("/in/tool", "/work/my apps/tool/", "e", "-x1m0"),
             QStringLiteral("e -x1m0 /in/tool \"/work/my apps/tool/\" "));
    QCOMPARE(zipCommandLine("/in/tool.zip", "/work/v1.2", "-x -s -V -i -C"),
             QStringLiteral("-x -s -V -i -C \"/in/tool.zip\" \"/work/v1.2/\" "));
}

void ArchiveExtractionTest::splitting_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "e -x1m0 /a/b /c/ " << QStringList{"e", "-x1m0", "/a/b", "/c/"}
                           << true;
    QTest::newRow("quoted") << "-x -s \"/a b/c.zip\" \"/d e/\" "
                            << QStringList{"-x", "-s", "/a b/c.zip", "/d e/"} << true;
    QTest::newRow("quote inside quoted")
        << "e \"/a/x\"y z.lzh\" /d/ " << QStringList{"e", "/a/x\"y z.lzh", "/d/"} << true;
    QTest::newRow("unterminated") << "e \"/a/b.lzh /d/" << QStringList{} << false;
    QTest::newRow("quote in bare word") << "e /a/x\"y /d/" << QStringList{} << false;
    QTest::newRow("empty") << "" << QStringList{} << true;
}

void ArchiveExtractionTest::splitting() {
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QFETCH(bool, valid);
    const std::optional<QStringList> split = splitCommandLine(line);
    QCOMPARE(split.has_value(), valid);
    if (valid) {
        QCOMPARE(*split, words);
    }
}

void ArchiveExtractionTest::entryPaths_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << QByteArray("a/b.txt") << QByteArray() << true;
    QTest::newRow("dot parts") << QByteArray("./a/./b") << QByteArray() << true;
    QTest::newRow("dots in a name") << QByteArray("a/..b/c..") << QByteArray() << true;
    QTest::newRow("parent") << QByteArray("a/../../b") << QByteArray() << false;
    QTest::newRow("parent by backslash") << QByteArray("a\\..\\..\\b") << QByteArray() << false;
    QTest::newRow("absolute") << QByteArray("/etc/x") << QByteArray() << false;
    QTest::newRow("drive") << QByteArray("C:x") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << QByteArray() << false;
    QTest::newRow("link beside") << QByteArray("a/l") << QByteArray("b") << true;
    QTest::newRow("link up inside") << QByteArray("a/b/l") << QByteArray("../c") << true;
    QTest::newRow("link to root") << QByteArray("a/l") << QByteArray("..") << true;
    QTest::newRow("link out") << QByteArray("a/l") << QByteArray("../..") << false;
    QTest::newRow("link absolute") << QByteArray("l") << QByteArray("/etc/passwd") << false;
    QTest::newRow("link down and out") << QByteArray("l") << QByteArray("a/../../x") << false;
}

void ArchiveExtractionTest::entryPaths() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, link);
    QFETCH(bool, safe);
    QCOMPARE(link.isEmpty() ? isSafeEntryPath(name) : isSafeLinkTarget(name, link), safe);
}

void ArchiveExtractionTest::formats_data() {
    QTest::addColumn<QString>("archive");
    for (const char* name : {"lh0.lzh", "lh5.lzh", "lh6.lzh", "lh7.lzh", "level0.lzh", "level1.lzh",
                             "level2.lzh", "stored.zip", "deflate.zip"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void ArchiveExtractionTest::formats() {
    QFETCH(QString, archive);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const QString destination = work + "/tool";
    const qint32 result = archive.endsWith(".zip")
                              ? zipMelt(nullptr, fixture(archive), destination, "-x -s -V -i -C")
                              : lzhMelt(nullptr, fixture(archive), destination, "e", "-x1m0");
    QCOMPARE(result, 0);
    QVERIFY(env.prompt.messages.isEmpty());
    QCOMPARE(tree(work), (QStringList{"tool", "tool/bin", "tool/bin/data.txt", "tool/readme.txt"}));
    QCOMPARE(TestEnvironment::readFile(destination + "/readme.txt"), QByteArray("Sample tool\r\n"));
    QCOMPARE(TestEnvironment::readFile(destination + "/bin/data.txt"), sequence(1500));
    // Times come from the archive.
    QCOMPARE(QFileInfo(destination + "/readme.txt").lastModified().date(), QDate(2020, 5, 1));
}

void ArchiveExtractionTest::japaneseNames_data() {
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QStringList>("expected");
    const QStringList full{"ソフト", "ソフト/サブ", "ソフト/サブ/表①.txt", "ソフト/説明書.txt"};
    // The lha tool cannot store "①" in CP932 and writes "?" for it.
    const QStringList lha{"ソフト", "ソフト/サブ", "ソフト/サブ/表?.txt", "ソフト/説明書.txt"};
    QTest::newRow("cp932 zip") << "cp932-names.zip" << full;
    QTest::newRow("utf-8 zip") << "utf8-names.zip" << full;
    QTest::newRow("cp932 lzh") << "cp932-names.lzh" << lha;
    QTest::newRow("cp932 lzh level 0") << "cp932-level0.lzh" << lha;
}

void ArchiveExtractionTest::japaneseNames() {
    QFETCH(QString, archive);
    QFETCH(QStringList, expected);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const qint32 result = archive.endsWith(".zip")
                              ? zipMelt(nullptr, fixture(archive), work + "/x", "-x -s -V -i -C")
                              : lzhMelt(nullptr, fixture(archive), work + "/x", "e", "-x1m0");
    QCOMPARE(result, 0);
    QCOMPARE(tree(work + "/x"), expected);
}

void ArchiveExtractionTest::generatedLzh_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("legacy");
    for (int level = 0; level <= 2; ++level) {
        QTest::addRow("level %d utf-8", level) << level << false;
        QTest::addRow("level %d cp932", level) << level << true;
    }
}

void ArchiveExtractionTest::generatedLzh() {
    QFETCH(int, level);
    QFETCH(bool, legacy);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const QString folder = QStringLiteral("ソフト表示");
    const QString file = QStringLiteral("説明①.txt");
    const auto encode = [legacy](const QString& text) {
        return legacy ? cp932(text) : text.toUtf8();
    };
    LzhBuilder builder(level);
    builder.add(encode(folder + "/" + file), "text\r\n").add("plain.txt", "plain");
    const QString archive = env.writeFile("in/gen.lzh", builder.build());
    QCOMPARE(lzhMelt(nullptr, archive, work + "/gen", "e", "-x1m0"), 0);
    QCOMPARE(tree(work + "/gen"), (QStringList{"plain.txt", folder, folder + "/" + file}));
    QCOMPARE(TestEnvironment::readFile(work + "/gen/" + folder + "/" + file),
             QByteArray("text\r\n"));
}

void ArchiveExtractionTest::refused_data() {
    QTest::addColumn<QString>("archive");  // a fixture, or "gen:<level>:<name>[|link]"
    QTest::newRow("zip parent") << "dotdot.zip";
    QTest::newRow("zip absolute") << "absolute.zip";
    QTest::newRow("zip link out") << "symlink-out.zip";
    QTest::newRow("zip link chain") << "symlink-chain.zip";
    QTest::newRow("zip truncated") << "truncated.zip";
    QTest::newRow("zip checksum") << "corrupt.zip";
    QTest::newRow("lzh truncated") << "truncated.lzh";
    QTest::newRow("lzh checksum") << "corrupt.lzh";
    QTest::newRow("lzh parent level 0") << "gen:0:../evil.txt";
    QTest::newRow("lzh parent level 2") << "gen:2:a/../../evil.txt";
    QTest::newRow("lzh absolute level 1") << "gen:1:/tmp/qmorn-evil.txt";
    QTest::newRow("lzh link out level 1") << "gen:1:out|/etc/passwd";
    QTest::newRow("lzh link up level 2") << "gen:2:out|../x";
    // Each link points inside on its face; written through the first, the second points out.
    QTest::newRow("lzh written through a link") << "gen:2:d/l|..;d/l/l2|..;d/l/l2/evil.txt";
    QTest::newRow("lzh through a link of other case") << "gen:1:d/l|.;D/L/evil.txt";
    QTest::newRow("not an archive") << "gen:text";
    QTest::newRow("empty file") << "gen:empty";
}

void ArchiveExtractionTest::refused() {
    QFETCH(QString, archive);
    TestEnvironment env;
    const QString work = env.makeFolder("deep/apps");
    QString path = fixture(archive);
    if (archive == "gen:text") {
        path = env.writeFile("in/text.lzh", "just some text, no archive at all\n");
    } else if (archive == "gen:empty") {
        path = env.writeFile("in/empty.zip", QByteArray());
    } else if (archive.startsWith("gen:")) {
        const QStringList parts = archive.split(':');
        LzhBuilder builder(parts.at(1).toInt());
        builder.add("first.txt", "ok");
        for (const QString& entry : parts.at(2).split(';')) {
            const bool link = entry.contains('|');
            builder.add(entry.toUtf8(), link ? QByteArray() : "evil", link ? 0120777 : 0);
        }
        path = env.writeFile("in/gen.lzh", builder.build());
    }
    const bool zip = path.endsWith(".zip");
    const qint32 result = zip ? zipMelt(nullptr, path, work + "/tool", "-x -s -V -i -C")
                              : lzhMelt(nullptr, path, work + "/tool", "e", "-x1m0");
    QCOMPARE(result, 1);
    QCOMPARE(env.prompt.messages.size(), 1);
    QCOMPARE(env.prompt.messages[0].text, zip ? QStringLiteral("解凍に失敗しました。No.10")
                                              : QStringLiteral("解凍に失敗しました。No.5"));
    QCOMPARE(env.prompt.messages[0].title,
             zip ? QStringLiteral("ZipMeltエラー") : QStringLiteral("圧縮失敗"));
    QCOMPARE(env.prompt.messages[0].flags, 48);
    // No destination, no staging folder, nothing beside the working folder.
    QCOMPARE(tree(work), QStringList{});
    QCOMPARE(tree(env.root() + "/deep"), QStringList{"apps"});
    QCOMPARE(tree(env.root()),
             (QStringList{"deep", "deep/apps", "in", "in/" + QFileInfo(path).fileName()})
                 .mid(0, path.startsWith(env.root()) ? 4 : 2));
    QVERIFY(!QFileInfo::exists("/tmp/qmorn-fixture-evil.txt"));
    QVERIFY(!QFileInfo::exists("/tmp/qmorn-evil.txt"));
}

void ArchiveExtractionTest::linkInsideIsKept() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    QCOMPARE(zipMelt(nullptr, fixture("symlink-inside.zip"), work + "/x", "-x -s -V -i -C"), 0);
    QCOMPARE(tree(work + "/x"), (QStringList{"evil.txt", "inside@"}));
    QCOMPARE(QFileInfo(work + "/x/inside").symLinkTarget(), work + "/x/evil.txt");
}

void ArchiveExtractionTest::missingArchive() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    QCOMPARE(lzhMelt(nullptr, env.root() + "/none.lzh", work + "/x", "e", "-x1m0"), 1);
    QCOMPARE(zipMelt(nullptr, env.root() + "/none.zip", work + "/x", "-x -s -V -i -C"), 1);
    QCOMPARE(env.prompt.messages.size(), 2);
    QCOMPARE(env.prompt.messages[0].text, QStringLiteral("ファイルが見つかりません。No.4"));
    QCOMPARE(env.prompt.messages[0].title, QStringLiteral("LzhMeltエラー"));
    QCOMPARE(env.prompt.messages[0].flags, 0);
    QCOMPARE(env.prompt.messages[1].text, QStringLiteral("ファイルが存在しません。No.9"));
    QCOMPARE(env.prompt.messages[1].title, QStringLiteral("ZipMeltエラー"));
    QCOMPARE(env.prompt.messages[1].flags, 0);
    QCOMPARE(tree(work), QStringList{});
}

void ArchiveExtractionTest::hiddenArchives() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    QFile::copy(fixture("lh5.lzh"), env.root() + "/.tool.lzh");
    QFile::copy(fixture("deflate.zip"), env.root() + "/.tool.zip");
    QCOMPARE(lzhMelt(nullptr, env.root() + "/.tool.lzh", work + "/a", "e", "-x1m0"), 0);
    QVERIFY(QFileInfo::exists(work + "/a/bin/data.txt"));
    QCOMPARE(zipMelt(nullptr, env.root() + "/.tool.zip", work + "/b", "-x -s -V -i -C"), 1);
    QCOMPARE(env.prompt.texts(), QStringList{"ファイルが存在しません。No.9"});
    QVERIFY(!QFileInfo::exists(work + "/b"));
}

void ArchiveExtractionTest::quotedPathsRoundTrip() {
    TestEnvironment env;
    const QString work = env.makeFolder("my apps v1.0");
    const QString archive = env.root() + "/in \"quoted\" dir/my tool.zip";
    QDir().mkpath(QFileInfo(archive).absolutePath());
    QVERIFY(QFile::copy(fixture("deflate.zip"), archive));
    QCOMPARE(zipMelt(nullptr, archive, work + "/my tool", "-x -s -V -i -C"), 0);
    QVERIFY(QFileInfo::exists(work + "/my tool/readme.txt"));
}

void ArchiveExtractionTest::archiverRejectsBadCommandLines_data() {
    QTest::addColumn<bool>("lzh");
    QTest::addColumn<QString>("line");
    QTest::newRow("other command") << true << "a %1 %2/ ";
    QTest::newRow("no destination") << true << "e -x1m0 %1 ";
    QTest::newRow("extra word") << false << "-x %1 %2/ more ";
    QTest::newRow("root destination") << false << "-x %1 / ";
    QTest::newRow("open quote") << false << "-x \"%1 %2/ ";
    QTest::newRow("nothing") << true << "";
}

void ArchiveExtractionTest::archiverRejectsBadCommandLines() {
    QFETCH(bool, lzh);
    QFETCH(QString, line);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const QString commandLine = QString(line)
                                    .replace("%1", fixture(lzh ? "lh5.lzh" : "deflate.zip"))
                                    .replace("%2", work + "/x");
    QByteArray output(1024, ' ');
    const QByteArray bytes = commandLine.toLocal8Bit();
    const qint32 result = lzh ? Unlha(nullptr, bytes.constData(), output.data(), 1024)
                              : UnZip(nullptr, bytes.constData(), output.data(), 1024);
    QCOMPARE(result, qint32(kArchiverCommandLine));
    QVERIFY(!QByteArray(output.constData()).isEmpty());
    QCOMPARE(tree(work), QStringList{});
    // A zero-sized buffer is left alone.
    QCOMPARE(Unlha(nullptr, "x", nullptr, 0), qint32(kArchiverCommandLine));
}

void ArchiveExtractionTest::overwritesIntoExistingFolder() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    env.writeFile("apps/tool/readme.txt", "old");
    env.writeFile("apps/tool/keep.txt", "mine");
    QCOMPARE(lzhMelt(nullptr, fixture("lh7.lzh"), work + "/tool", "e", "-x1m0"), 0);
    QCOMPARE(TestEnvironment::readFile(work + "/tool/readme.txt"), QByteArray("Sample tool\r\n"));
    QCOMPARE(TestEnvironment::readFile(work + "/tool/keep.txt"), QByteArray("mine"));
    QCOMPARE(tree(work), (QStringList{"tool", "tool/bin", "tool/bin/data.txt", "tool/keep.txt",
                                      "tool/readme.txt"}));
}

void ArchiveExtractionTest::workFolderBehindLink() {
    TestEnvironment env;
    const QString real = env.makeFolder("real");
    QVERIFY(QFile::link(real, env.root() + "/linked"));
    QCOMPARE(zipMelt(nullptr, fixture("stored.zip"), env.root() + "/linked/tool", "-x"), 0);
    QVERIFY(QFileInfo::exists(real + "/tool/bin/data.txt"));
}

void ArchiveExtractionTest::fullDiskLeavesNothing() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    // A file size limit stands in for a full disk: the 6 KB data file cannot be written.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    const qint32 result = zipMelt(nullptr, fixture("stored.zip"), work + "/tool", "-x");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(result, 1);
    QCOMPARE(env.prompt.texts(), QStringList{"解凍に失敗しました。No.10"});
    QCOMPARE(tree(work), QStringList{});
}

void ArchiveExtractionTest::progressIsReported() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    ProgressWindow window;
    const ExtractionResult result = runExtraction(&window, fixture("lh6.lzh"), work + "/tool");
    QVERIFY(result.ok());
    QCOMPARE(window.started, 1);
    QCOMPARE(window.finished, 1);
    QVERIFY(!window.done.isEmpty());
    const qint64 expected = 13 + sequence(1500).size();
    QCOMPARE(window.total, expected);
    QCOMPARE(window.done.last(), expected);
}

QTEST_MAIN(ArchiveExtractionTest)
#include "tst_archiveextraction.moc"
