#include <QFile>
#include <QStringEncoder>
#include <QTest>

#include "catalogue/listfile.h"
#include "platform/pathbytes.h"
#include "support/testenvironment.h"

using qm::CatalogueEntry;

namespace {

CatalogueEntry entry(qint16 state, const QString& name, const QString& folder,
                     const QString& category, const QString& exe, const QString& description) {
    CatalogueEntry e;
    e.state = state;
    e.name = name;
    e.folder = folder;
    e.category = category;
    e.exe = exe;
    e.description = description;
    return e;
}

}  // namespace

class ListFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordBytes_data();
    void recordBytes();
    void hostileTextsSurviveRoundTrip_data();
    void hostileTextsSurviveRoundTrip();
    void readsRecordsAcrossLineEnds();
    void truncatedLastRecordStopsReading_data();
    void truncatedLastRecordStopsReading();
    void trailingBlankLinesAreNoRecord();
    void readsCp932File();
    void emptyAndMissingFiles();
    void saveReplacesFileAndKeepsOldOnFailure();
};

void ListFileTest::recordBytes_data() {
    QTest::addColumn<CatalogueEntry>("entry");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("registered") << entry(1, "Editor", "editor", "Tools",
                                         "D:\\Soft\\editor\\edit.exe", "Small text editor")
                                << QByteArray(
                                       "1,Editor,editor,Tools,D:\\Soft\\editor\\edit.exe,"
                                       "Small text editor\r\n");
    QTest::newRow("excluded") << entry(0, "a", "b", "c", "d", "e") << QByteArray("0,a,b,c,d,e\r\n");
    QTest::newRow("unregistered placeholders") << entry(2, "x", "x", "未設定", "不明", "未設定")
                                               << QString("2,x,x,未設定,不明,未設定\r\n").toUtf8();
    QTest::newRow("icon state written as registered")
        << entry(7, "n", "f", "c", "e", "d") << QByteArray("1,n,f,c,e,d\r\n");
    QTest::newRow("empty fields") << entry(1, "", "f", "", "", "") << QByteArray("1,,f,,,\r\n");
    QTest::newRow("comma quoted") << entry(1, "a,b", "f", "c", "e", "d")
                                  << QByteArray("1,\"a,b\",f,c,e,d\r\n");
}

void ListFileTest::recordBytes() {
    QFETCH(CatalogueEntry, entry);
    QFETCH(QByteArray, bytes);
    QCOMPARE(qm::formatListFile({entry}), bytes);
    QCOMPARE(qm::formatRecord(entry).toUtf8(), bytes);
}

void ListFileTest::hostileTextsSurviveRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("comma") << "a,b,c"
                           << "a,b,c";
    QTest::newRow("leading space") << "  spaced"
                                   << "  spaced";
    QTest::newRow("trailing space") << "spaced  "
                                    << "spaced  ";
    QTest::newRow("leading quote") << "\"quoted\" text"
                                   << "''quoted'' text";
    QTest::newRow("inner quote") << "say \"hi\""
                                 << "say \"hi\"";
    QTest::newRow("line breaks") << "one\r\ntwo\nthree\rfour"
                                 << "one two three four";
    QTest::newRow("only comma") << ","
                                << ",";
    QTest::newRow("japanese") << "日本語,テキスト"
                              << "日本語,テキスト";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma and quote") << "a,\"b"
                                     << "a,''b";
    QTest::newRow("leading dash") << "-rf"
                                  << "-rf";
    QTest::newRow("escape characters as text") << "\uEF0D\uEF22\uEF80x"
                                               << "\uEF0D\uEF22\uEF80x";
    QTest::newRow("shift-jis bytes")
        << qm::textFromNameBytes("\x83\x5c\x82\xa0") << qm::textFromNameBytes("\x83\x5c\x82\xa0");
}

void ListFileTest::hostileTextsSurviveRoundTrip() {
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    qm::test::TestEnvironment env;
    // Names, categories and descriptions come back as the format allows; folder and program
    // fields, which name files, come back exactly.
    const QList<CatalogueEntry> written = {
        entry(1, text, "first" + text, text, text, text),
        entry(2, "second", "second", "cat", "exe", "desc"),
    };
    const QString path = env.root() + "/index.qmx";
    QVERIFY(qm::saveListFile(path, written));
    bool complete = false;
    const auto read = qm::readListFile(path, &complete);
    QVERIFY(read.has_value());
    QVERIFY(complete);
    QCOMPARE(read->size(), 2);
    QCOMPARE(read->at(0), entry(1, readBack, "first" + text, readBack, text, readBack));
    QCOMPARE(read->at(1), written.at(1));
}

void ListFileTest::readsRecordsAcrossLineEnds() {
    // Records are simply the next six fields; a file with odd line breaks still reads.
    qm::ListFileReader reader("1,a,b,\r\nc,d\n  2 ,\"x,y\"junk,z,c,e,d\r\n3,cut");
    auto first = reader.next();
    QVERIFY(first.has_value());
    QCOMPARE(*first, entry(1, "a", "b", "", "c", "d"));
    auto second = reader.next();
    QVERIFY(second.has_value());
    QCOMPARE(*second, entry(2, "x,y", "z", "c", "e", "d"));
    QVERIFY(!reader.atEnd());
    QVERIFY(!reader.next().has_value());
    QVERIFY(reader.atEnd());
}

void ListFileTest::truncatedLastRecordStopsReading_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("records");
    QTest::newRow("cut after fourth field") << QByteArray("1,a,a,c,e,d\r\n1,b,b,c") << 1;
    QTest::newRow("state not a number out of range")
        << QByteArray("1,a,a,c,e,d\r\n99999,b,b,c,e,d\r\n1,c,c,c,e,d\r\n") << 1;
    QTest::newRow("cut inside the last field") << QByteArray("1,a,a,c,e,d\r\n1,b,b,c,e,de") << 2;
    QTest::newRow("cut inside a quoted field") << QByteArray("1,a,a,c,e,d\r\n1,\"b, the") << 1;
    QTest::newRow("last line without CR") << QByteArray("1,a,a,c,e,d\n") << 1;
    QTest::newRow("one stray byte in a UTF-8 list")
        << QByteArray("1,a,a,c,e,d\r\n1,\xe3\x83\x86\xff,b,c,e,d\r\n") << 2;
}

void ListFileTest::truncatedLastRecordStopsReading() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, records);
    qm::test::TestEnvironment env;
    const QString path = env.writeFile("index.qmx", bytes);
    bool complete = true;
    const auto read = qm::readListFile(path, &complete);
    QVERIFY(read.has_value());
    QVERIFY(!complete);
    QCOMPARE(read->size(), records);
    QCOMPARE(read->at(0), entry(1, "a", "a", "c", "e", "d"));
}

void ListFileTest::trailingBlankLinesAreNoRecord() {
    qm::test::TestEnvironment env;
    const QString path = env.writeFile("index.qmx", "1,a,a,c,e,\r\n\r\n\r\n");
    bool complete = false;
    const auto read = qm::readListFile(path, &complete);
    QVERIFY(read.has_value());
    QVERIFY(complete);
    QCOMPARE(read->size(), 1);
    QCOMPARE(read->at(0), entry(1, "a", "a", "c", "e", ""));
}

void ListFileTest::readsCp932File() {
    qm::test::TestEnvironment env;
    QStringEncoder cp932("CP932");
    QVERIFY(cp932.isValid());
    const QString text = QString(
        "1,テキストエディタ,editor,ツール,C:\\ソフト\\edit.exe,小さな編集ソフト\r\n"
        "2,表示,viewer,未設定,不明,未設定\r\n");
    const QByteArray bytes = cp932.encode(text);
    QVERIFY(!cp932.hasError());
    QVERIFY(bytes != text.toUtf8());
    const QString path = env.writeFile("index.qmx", bytes);
    const auto read = qm::readListFile(path);
    QVERIFY(read.has_value());
    QCOMPARE(read->size(), 2);
    QCOMPARE(read->at(0), entry(1, "テキストエディタ", "editor", "ツール", "C:\\ソフト\\edit.exe",
                                "小さな編集ソフト"));
    QCOMPARE(read->at(1), entry(2, "表示", "viewer", "未設定", "不明", "未設定"));
}

void ListFileTest::emptyAndMissingFiles() {
    qm::test::TestEnvironment env;
    const QString empty = env.writeFile("empty/index.qmx", "");
    bool complete = false;
    const auto read = qm::readListFile(empty, &complete);
    QVERIFY(read.has_value());
    QVERIFY(read->isEmpty());
    QVERIFY(complete);
    QVERIFY(!qm::readListFile(env.root() + "/none/index.qmx").has_value());

    // An empty list is an empty file.
    const QString path = env.root() + "/saved.qmx";
    QVERIFY(qm::saveListFile(path, {}));
    QVERIFY(QFile::exists(path));
    QCOMPARE(qm::test::TestEnvironment::readFile(path), QByteArray());
}

void ListFileTest::saveReplacesFileAndKeepsOldOnFailure() {
    qm::test::TestEnvironment env;
    const QString path = env.writeFile("list/index.qmx", "1,old,old,c,e,d\r\n");
    QVERIFY(qm::saveListFile(path, {entry(2, "new", "new", "c", "e", "d")}));
    QCOMPARE(qm::test::TestEnvironment::readFile(path), QByteArray("2,new,new,c,e,d\r\n"));

    // A list folder that is a file: nothing can be saved there, and the reason is given.
    const QString blocked = env.writeFile("blocked", "x") + "/index.qmx";
    QString reason;
    QVERIFY(!qm::saveListFile(blocked, {}, &reason));
    QVERIFY(!reason.isEmpty());

    // A list folder that cannot be written to: the old file stays whole and a reason is given.
    const QString folder = env.root() + "/list";
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    const bool saved = qm::saveListFile(path, {entry(1, "x", "x", "c", "e", "d")}, &error);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (saved) {
        QSKIP("running with rights that ignore folder permissions");
    }
    QVERIFY(!error.isEmpty());
    QCOMPARE(qm::test::TestEnvironment::readFile(path), QByteArray("2,new,new,c,e,d\r\n"));
}

QTEST_MAIN(ListFileTest)
#include "tst_listfile.moc"
