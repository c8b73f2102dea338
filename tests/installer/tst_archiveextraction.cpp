// Extraction of archives: command lines, every format variant, legacy names, and hostile or
// damaged archives that must leave nothing behind.

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QTest>
#include <QWidget>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include <QtEndian>

#include "app/installablefile.h"
#include "installer/archivecommand.h"
#include "installer/archiveextractor.h"
#include "installer/archiverlibrary.h"
#include "installer/entrypath.h"
#include "installer/extractionrunner.h"
#include "installer/installsteps.h"
#include "installer/lhazip.h"
#include "lzhbuilder.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "support/bytetree.h"
#include "support/testenvironment.h"
#include "tarbuilder.h"

using namespace qm;
using qm::test::LzhBuilder;
using qm::test::TarBuilder;
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

// Extracts archive into destination the way the installer does for its kind.
qint32 melt(const QString& archive, const QString& destination) {
    switch (installableFile(archive).kind) {
        case InstallKind::Lzh:
            return lzhMelt(nullptr, archive, destination, "e", "-x1m0");
        case InstallKind::Zip:
            return zipMelt(nullptr, archive, destination, "-x -s -V -i -C");
        default:
            return archiveMelt(nullptr, archive, destination);
    }
}

// Records what the extraction reports to its window.
class ProgressWindow : public QWidget, public ExtractionProgressSink {
public:
    int started = 0;
    int finished = 0;
    QList<qint64> done;
    qint64 total = -1;
    qint64 entries = -1;
    void extractionStarted() override { ++started; }
    void extractionProgress(const ExtractionProgress& progress) override {
        done.append(progress.bytes);
        total = progress.totalBytes;
        entries = progress.entries;
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
    void nameEncodings_data();
    void nameEncodings();
    void generatedLzh_data();
    void generatedLzh();
    void refused_data();
    void refused();
    void linkInsideIsKept();
    void hardLinks_data();
    void hardLinks();
    void missingArchive();
    void hiddenArchives();
    void quotedPathsRoundTrip();
    void archiverRejectsBadCommandLines_data();
    void archiverRejectsBadCommandLines();
    void overwritesIntoExistingFolder();
    void failedMergeLeavesFolderAsItWas();
    void lateMergeFailurePutsFilesBack();
    void abandonedStagingIsRemoved();
    void byteNamedWorkFolder();
    void lzhFailuresKeepDetails_data();
    void lzhFailuresKeepDetails();
    void workFolderBehindLink();
    void fullDiskLeavesNothing();
    void progressIsReported();
    void runawayIndexIsStopped_data();
    void runawayIndexIsStopped();
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
    // "nested" archives keep everything in one top-level folder, whose contents come out.
    for (const char* name :
         {"lh0.lzh", "lh5.lzh", "lh6.lzh", "lh7.lzh", "level0.lzh", "level1.lzh", "level2.lzh",
          "stored.zip", "deflate.zip", "nested.zip", "nested.7z", "plain.tar", "gzip.tar.gz",
          "bzip2.tbz2", "nested.tar.xz", "zstd.tar.zst", "plain.cab"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void ArchiveExtractionTest::formats() {
    QFETCH(QString, archive);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const QString destination = work + "/tool";
    const mode_t mask = ::umask(022);
    const qint32 result = melt(fixture(archive), destination);
    ::umask(mask);
    QCOMPARE(result, 0);
    // The new folder is made like any other folder of the user's.
    struct stat folder {};
    QCOMPARE(::stat(QFile::encodeName(destination).constData(), &folder), 0);
    QCOMPARE(folder.st_mode & 07777, mode_t(0755));
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
    // Everything lies in the folder "ソフト", whose contents come out.
    const QStringList full{"サブ", "サブ/表①.txt", "説明書.txt"};
    // The lha tool cannot store "①" in CP932 and writes "?" for it.
    const QStringList lha{"サブ", "サブ/表?.txt", "説明書.txt"};
    QTest::newRow("cp932 zip") << "cp932-names.zip" << full;
    QTest::newRow("utf-8 zip") << "utf8-names.zip" << full;
    QTest::newRow("cp932 lzh") << "cp932-names.lzh" << lha;
    QTest::newRow("cp932 lzh level 0") << "cp932-level0.lzh" << lha;
    // The same bytes read as half-width katakana in CP932 and as "ý" in UTF-8.
    QTest::newRow("half-width katakana zip")
        << "kana-cp932.zip" << QStringList{"readme.txt", "ﾃｽ.txt"};
    QTest::newRow("flagged utf-8 zip") << "latin-utf8.zip" << QStringList{"readme.txt", "ý.txt"};
}

void ArchiveExtractionTest::japaneseNames() {
    QFETCH(QString, archive);
    QFETCH(QStringList, expected);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    QCOMPARE(melt(fixture(archive), work + "/x"), 0);
    QCOMPARE(tree(work + "/x"), expected);
}

void ArchiveExtractionTest::nameEncodings_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArrayList>("names");     // as stored
    QTest::addColumn<QByteArrayList>("expected");  // the names' bytes on disk
    const QByteArray cafe = "caf\xc3\xa9.txt";
    const QByteArray kana = cp932("ﾃｽ.txt");
    const QByteArray koi8 = "\xd0\xd2\xc9\xd7\xc5\xd4.txt";   // "привет" in KOI8-R
    const QByteArray cp866 = "\xaf\xe0\xa8\xa2\xa5\xe2.txt";  // and in CP866
    const QByteArray kanji = cp932("説明.txt");
    const QByteArray neither =
        "a\x81\x20"
        "b.txt";
    for (const QString format : {"tar", "lzh"}) {
        const auto row = [&format](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(format + ", " + name)) << format;
        };
        row("accented Latin") << QByteArrayList{cafe} << QByteArrayList{cafe};
        row("half-width katakana")
            << QByteArrayList{kana} << QByteArrayList{QString("ﾃｽ.txt").toUtf8()};
        row("KOI8 Cyrillic") << QByteArrayList{koi8} << QByteArrayList{koi8};
        row("CP866 Cyrillic") << QByteArrayList{cp866} << QByteArrayList{cp866};
        // "\x81\x20" is neither UTF-8 nor CP932.
        const QByteArray neither =
            "a\x81\x20"
            "b.txt";
        row("neither") << QByteArrayList{neither} << QByteArrayList{neither};
        // Valid UTF-8 all of them, one plainly Latin: UTF-8 it is.
        row("Latin and katakana") << QByteArrayList{cafe, kana}
                                  << QByteArrayList{cafe, QString("ý.txt").toUtf8()};
        // A name that is only valid as CP932 decides for the others.
        row("Latin and kanji") << QByteArrayList{cafe, kanji}
                               << QByteArrayList{QString("cafﾃｩ.txt").toUtf8(),
                                                 QString("説明.txt").toUtf8()};
    }
}

void ArchiveExtractionTest::nameEncodings() {
    QFETCH(QString, format);
    QFETCH(QByteArrayList, names);
    QFETCH(QByteArrayList, expected);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    TarBuilder tar;
    LzhBuilder lzh(2);
    for (const QByteArray& name : names) {
        tar.add(name, '0', {}, "x");
        lzh.add(name, "x");
    }
    const QString archive =
        env.writeFile("in/names." + format, format == "tar" ? tar.build() : lzh.build());
    QCOMPARE(melt(archive, work + "/x"), 0);
    QByteArrayList found;
    if (DIR* folder = ::opendir(QFile::encodeName(work + "/x").constData())) {
        while (const dirent* entry = ::readdir(folder)) {
            found << QByteArray(entry->d_name);
        }
        ::closedir(folder);
    }
    found.removeAll(".");
    found.removeAll("..");
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(found, expected);
}

void ArchiveExtractionTest::generatedLzh_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("legacy");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    for (int level = 0; level <= 2; ++level) {
        QTest::addRow("level %d utf-8", level) << level << false << "ソフト表示"
                                               << "説明①.txt";
        QTest::addRow("level %d cp932", level) << level << true << "ソフト表示"
                                               << "説明①.txt";
        // CP932 bytes that are valid UTF-8 as well ("ý").
        QTest::addRow("level %d half-width katakana", level) << level << true << "ﾃｽ"
                                                             << "ﾃｽ.txt";
    }
}

void ArchiveExtractionTest::generatedLzh() {
    QFETCH(int, level);
    QFETCH(bool, legacy);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
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
    QTest::newRow("lzh cut between members") << "gen:cut";
    QTest::newRow("lzh parent level 0") << "gen:0:../evil.txt";
    QTest::newRow("lzh parent level 2") << "gen:2:a/../../evil.txt";
    QTest::newRow("lzh absolute level 1") << "gen:1:/tmp/qmorn-evil.txt";
    QTest::newRow("lzh link out level 1") << "gen:1:out|/etc/passwd";
    QTest::newRow("lzh link up level 2") << "gen:2:out|../x";
    // Each link points inside on its face; written through the first, the second points out.
    QTest::newRow("lzh written through a link") << "gen:2:d/l|..;d/l/l2|..;d/l/l2/evil.txt";
    QTest::newRow("lzh through a link of other case") << "gen:1:d/l|.;D/L/evil.txt";
    QTest::newRow("7z parent") << "dotdot.7z";
    QTest::newRow("7z absolute") << "absolute.7z";
    QTest::newRow("7z link out") << "symlink-out.7z";
    QTest::newRow("tar parent") << "dotdot.tar";
    QTest::newRow("tar absolute") << "absolute.tar";
    QTest::newRow("tar link out") << "symlink-out.tar";
    QTest::newRow("cab parent") << "dotdot.cab";
    QTest::newRow("cab absolute") << "absolute.cab";
    // A stored entry of 100 bytes whose header claims a megabyte.
    QTest::newRow("lzh entry shorter than stated") << "gen:short";
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
    } else if (archive == "gen:cut") {
        const QByteArray whole = LzhBuilder(1).add("a.txt", "a").add("b.txt", "b").build();
        path = env.writeFile("in/cut.lzh", whole.chopped(1));
    } else if (archive == "gen:short") {
        LzhBuilder builder(1);
        builder.add("first.txt", "ok").add("big.bin", QByteArray(100, 'x'), 0, 1 << 20);
        path = env.writeFile("in/gen.lzh", builder.build());
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
    const InstallKind kind = installableFile(path).kind;
    QCOMPARE(melt(path, work + "/tool"), 1);
    QCOMPARE(env.prompt.messages.size(), 1);
    // One message: the archiver's first line, then the cause in words, by the kind of fault.
    const QString text = env.prompt.messages[0].text + env.prompt.messages[0].title;
    const QString tag = QTest::currentDataTag();
    const QString cause =
        QRegularExpression("truncated|checksum|cut|shorter").match(tag).hasMatch() ? "壊れて"
        : tag.contains("archive") || tag.contains("empty") ? "アーカイブとして読めません"
                                                           : "外へ";
    const QString first = kind == InstallKind::Zip   ? "解凍に失敗しました。No.10\n"
                          : kind == InstallKind::Lzh ? "解凍に失敗しました。No.5\n"
                                                     : "解凍に失敗しました。\n";
    QVERIFY2(text.startsWith(first) && text.contains(cause), qPrintable(text));
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
    // A link that leads beside the archive's only folder keeps that folder: taken out of it, the
    // link would lead out of the new one.
    LzhBuilder builder(2);
    builder.add("tool/readme.txt", "r").add("tool/l|../tool/readme.txt", {}, 0120777);
    const QString archive = env.writeFile("in/gen.lzh", builder.build());
    QCOMPARE(lzhMelt(nullptr, archive, work + "/y", "e", "-x1m0"), 0);
    QCOMPARE(tree(work + "/y"), (QStringList{"tool", "tool/l@", "tool/readme.txt"}));
    // The same through a chain of links that each lead inside on their face.
    LzhBuilder chain(2);
    chain.add("tool/b|.", {}, 0120777).add("tool/a|b/..", {}, 0120777);
    QCOMPARE(
        lzhMelt(nullptr, env.writeFile("in/chain.lzh", chain.build()), work + "/z", "e", "-x1m0"),
        0);
    QCOMPARE(tree(work + "/z"), (QStringList{"tool", "tool/a@", "tool/b@"}));
}

// Tars holding hard links of one shape each; "escape" is a hard link to a link to the working
// folder, whose size field promises a body that is not there, then a file written through it.
TarBuilder hardLinkTar(const QString& shape) {
    TarBuilder tar;
    if (shape == "escape") {
        tar.add("d1/", '5').add("d1/s", '2', "..").add("h", '1', "d1/s", {}, 512);
        tar.add("h/Victim/config.ini", '0', {}, "evil");
    } else if (shape == "to a link") {
        tar.add("s", '2', "x").add("x", '0', {}, "data").add("h", '1', "s");
    } else if (shape == "through a link") {
        tar.add("d/f", '0', {}, "data").add("l", '2', "d").add("h", '1', "l/f");
    } else if (shape == "to a folder") {
        tar.add("d/", '5').add("h", '1', "d");
    } else if (shape == "ahead of its file") {
        tar.add("h", '1', "f").add("f", '0', {}, "data");
    } else if (shape == "chain") {
        tar.add("a/f", '0', {}, "data").add("b", '1', "a/f").add("c/g", '1', "./b");
    }
    return tar;
}

void ArchiveExtractionTest::hardLinks_data() {
    QTest::addColumn<QByteArray>("filter");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("expected");  // empty: refused
    for (const char* filter : {"", "gzip", "bzip2", "xz", "zstd"}) {
        QTest::addRow("escape, tar %s", filter) << QByteArray(filter) << "escape" << QStringList{};
    }
    for (const char* shape : {"to a link", "through a link", "to a folder", "ahead of its file"}) {
        QTest::newRow(shape) << QByteArray() << shape << QStringList{};
    }
    QTest::newRow("chain inside") << QByteArray("gzip") << "chain"
                                  << QStringList{"a", "a/f", "b", "c", "c/g"};
}

void ArchiveExtractionTest::hardLinks() {
    QFETCH(QByteArray, filter);
    QFETCH(QString, shape);
    QFETCH(QStringList, expected);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    env.writeFile("apps/Victim/config.ini", "mine");
    const QString archive = env.writeFile("in/links.tar", hardLinkTar(shape).build(filter));
    QCOMPARE(archiveMelt(nullptr, archive, work + "/tool"), expected.isEmpty() ? 1 : 0);
    QCOMPARE(TestEnvironment::readFile(work + "/Victim/config.ini"), QByteArray("mine"));
    QCOMPARE(tree(work + "/tool"), expected);
    QCOMPARE(tree(work).filter(QRegularExpression("^(?!tool)")),
             (QStringList{"Victim", "Victim/config.ini"}));
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
    // Quotes that the command line still carries unambiguously: none is followed by a space.
    const QString archive = env.root() + "/in \"quoted\"/my tool.zip";
    QVERIFY(fitsCommandLine(archive));
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
    // Read as the archive "%1" and the relative destination "b.zip" "%2/", it wrote below the
    // current folder.
    QTest::newRow("quote before a space") << false << "-x \"%1\" \"b.zip\" \"%2/\" ";
    QTest::newRow("relative destination") << false << "-x %1 x/ ";
    // Once took the splitter exponential time.
    QTest::newRow("many quoted words")
        << false << "-x " + QString("\"hm\" \"\" \"\" \"\" ").repeated(10);
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
    const QString current = QDir::currentPath();
    QDir::setCurrent(env.root());
    QElapsedTimer timer;
    timer.start();
    const qint32 result = lzh ? Unlha(nullptr, bytes.constData(), output.data(), 1024)
                              : UnZip(nullptr, bytes.constData(), output.data(), 1024);
    const qint64 elapsed = timer.elapsed();
    QDir::setCurrent(current);
    QCOMPARE(result, qint32(kArchiverCommandLine));
    QVERIFY(elapsed < 2000);
    QVERIFY(!QByteArray(output.constData()).isEmpty());
    QCOMPARE(tree(work), QStringList{});
    QCOMPARE(tree(env.root()), QStringList{"apps"});
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

void ArchiveExtractionTest::failedMergeLeavesFolderAsItWas() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    LzhBuilder builder(1);
    for (char c = 'a'; c <= 'h'; ++c) {
        builder.add(QByteArray(1, c) + ".txt", "new");
    }
    // A file that would have to replace a folder: the extraction cannot be finished.
    builder.add("d/x.txt", "new");
    for (char c = 'a'; c <= 'h'; ++c) {
        env.writeFile(QStringLiteral("apps/tool/%1.txt").arg(QChar(c)), "old");
    }
    env.makeFolder("apps/tool/d/x.txt");
    const QStringList before = tree(work);
    const QString archive = env.writeFile("in/gen.lzh", builder.build());
    QCOMPARE(lzhMelt(nullptr, archive, work + "/tool", "e", "-x1m0"), 1);
    QCOMPARE(tree(work), before);
    for (char c = 'a'; c <= 'h'; ++c) {
        QCOMPARE(TestEnvironment::readFile(work + QStringLiteral("/tool/%1.txt").arg(QChar(c))),
                 QByteArray("old"));
    }
}

void ArchiveExtractionTest::lateMergeFailurePutsFilesBack() {
    if (::geteuid() == 0) {
        QSKIP("root writes into a read-only folder: test.sh runs this as an unprivileged user");
    }
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    // The read-only folder comes first in the archive, so that the files beside it are listed
    // (and replaced) before it fails.
    LzhBuilder builder(2);
    builder.add("locked/x.txt", "new");
    for (char c = 'a'; c <= 'h'; ++c) {
        builder.add(QByteArray(1, c) + ".txt", "new");
        env.writeFile(QStringLiteral("apps/tool/%1.txt").arg(QChar(c)), "old");
    }
    env.writeFile("apps/tool/locked/x.txt", "old");
    QVERIFY(QFile::setPermissions(work + "/tool/locked", QFile::ReadOwner | QFile::ExeOwner));
    const QStringList before = tree(work);
    const qint32 result = lzhMelt(nullptr, env.writeFile("in/gen.lzh", builder.build()),
                                  work + "/tool", "e", "-x1m0");
    QFile::setPermissions(work + "/tool/locked",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result, 1);
    QVERIFY(env.prompt.texts().value(0).contains("権限"));
    QCOMPARE(tree(work), before);
    for (char c = 'a'; c <= 'h'; ++c) {
        QCOMPARE(TestEnvironment::readFile(work + QStringLiteral("/tool/%1.txt").arg(QChar(c))),
                 QByteArray("old"));
    }
}

void ArchiveExtractionTest::abandonedStagingIsRemoved() {
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    // Left by a run that was killed, and one of a run that is still going (this one).
    env.writeFile("apps/.qmorn-extract-dead/big.bin", "left over");
    env.writeFile("apps/.qmorn-extract-live/part.bin", "in use");
    QLockFile live(work + "/.qmorn-extract-live.lock");
    QVERIFY(live.tryLock(0));
    QCOMPARE(melt(fixture("lh5.lzh"), work + "/tool"), 0);
    QCOMPARE(tree(work).filter(".qmorn"),
             (QStringList{".qmorn-extract-live", ".qmorn-extract-live.lock",
                          ".qmorn-extract-live/part.bin"}));
}

// A working folder whose name is Shift-JIS ("ソフト"), as an archive made on Windows brings
// it: the files are staged beside the new folder and land in it, not in a folder named by the
// UTF-8 of the name's text.
void ArchiveExtractionTest::byteNamedWorkFolder() {
    TestEnvironment env;
    const QString apps = env.makeFolder("apps");
    const QString name = textFromNameBytes("\x83\x5c\x83\x74\x83\x67");
    const QString work = apps + u'/' + name;
    QVERIFY(fileSystem().makeFolder(work));
    QCOMPARE(melt(fixture("nested.zip"), work + "/tool"), 0);
    QCOMPARE(test::byteTree(apps).keys(),
             (QStringList{name + "/tool/bin/data.txt", name + "/tool/readme.txt"}));
}

void ArchiveExtractionTest::lzhFailuresKeepDetails_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("detail");  // part of libarchive's own account
    QTest::newRow("truncated") << TestEnvironment::readFile(fixture("truncated.lzh")) << "runcated";
    // The sum of a level-1 header is its second byte.
    QByteArray badSum = LzhBuilder(1).add("a.txt", "x").build();
    badSum[1] = char(badSum[1] + 1);
    QTest::newRow("header sum") << badSum << "sum";
}

void ArchiveExtractionTest::lzhFailuresKeepDetails() {
    QFETCH(QByteArray, archive);
    QFETCH(QString, detail);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const QString path = env.writeFile("in/bad.lzh", archive);
    QByteArray output(1024, ' ');
    const QByteArray line = lzhCommandLine(path, work + "/x", "e", "-x1m0").toLocal8Bit();
    QCOMPARE(Unlha(nullptr, line.constData(), output.data(), 1024), qint32(kArchiverCorrupt));
    const QString text = QString::fromLocal8Bit(output.constData());
    QVERIFY2(text.contains(detail, Qt::CaseInsensitive), qPrintable(text));
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
    QCOMPARE(env.prompt.texts().size(), 1);
    QVERIFY2(env.prompt.texts()[0].contains("ディスクの空きが足りません"),
             qPrintable(env.prompt.texts()[0]));
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
    QCOMPARE(window.entries, 2);
}

// A 7z of about a hundred bytes whose index declares `folders` empty folders of `streams`
// streams each: the archive library allocates and clears 13 bytes per stream before it finds
// that none exists.
QByteArray sevenZipIndexBomb(int folders, quint32 streams) {
    const auto crc32 = [](const QByteArray& bytes) {
        quint32 crc = 0xffffffff;
        for (const char c : bytes) {
            crc ^= quint8(c);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
            }
        }
        return ~crc;
    };
    const auto littleEndian = [](auto value) {
        QByteArray bytes(sizeof value, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    const QByteArray zeros(folders, '\0');  // pack sizes, unpacked sizes: all 0
    const QByteArray count(1, char(folders));
    QByteArray index("\x01\x04\x06\x00", 4);  // header, main streams, pack info at 0
    index += count + '\x09' + zeros + '\0';
    index += QByteArray("\x07\x0b", 2) + count + '\0' + QByteArray("\x01\x00", 2).repeated(folders);
    index += '\x0c' + zeros + '\0';
    // Sub-streams: streams in each folder, in 7z's five-byte form of a number.
    index += QByteArray("\x08\x0d", 2) +
             QByteArray(QByteArray(1, char(0xf0)) + littleEndian(streams)).repeated(folders) +
             QByteArray(3, '\0');
    const QByteArray start =
        littleEndian(quint64(0)) + littleEndian(quint64(index.size())) + littleEndian(crc32(index));
    return QByteArray("7z\xbc\xaf\x27\x1c\x00\x04", 8) + littleEndian(crc32(start)) + start + index;
}

void ArchiveExtractionTest::runawayIndexIsStopped_data() {
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("memory ceiling") << false;
    QTest::newRow("cancelled while it reads") << true;
}

// Gigabytes declared in a few bytes are refused (or given up) within moments, and nothing is
// written.
void ArchiveExtractionTest::runawayIndexIsStopped() {
    QFETCH(bool, cancelled);
    TestEnvironment env;
    const QString work = env.makeFolder("apps");
    const QString archive = env.root() + "/bomb.7z";
    QFile file(archive);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(sevenZipIndexBomb(3, 99999999));
    file.close();
    std::atomic<bool> cancel{false};
    ExtractionLimits limits;
    limits.indexBytes = cancelled ? (qint64(1) << 40) : (qint64(64) << 20);
    ArchiveExtractor extractor(archive, work + "/tool");
    extractor.setLimits(limits);
    extractor.setCancelFlag(&cancel);
    QElapsedTimer clock;
    clock.start();
    ExtractionResult result;
    runWhileResponsive([&] { result = extractor.extract(); },
                       [&] { cancel = cancelled && clock.elapsed() > 100; });
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(result.error, cancelled ? ExtractionError::Cancelled : ExtractionError::Oversized);
    QCOMPARE(tree(work), QStringList{});
}

QTEST_MAIN(ArchiveExtractionTest)
#include "tst_archiveextraction.moc"
