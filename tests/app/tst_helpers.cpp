#include <QFile>
#include <QPlainTextEdit>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/fieldreader.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "platform/filesystem.h"
#include "platform/launcher.h"
#include "platform/pathbytes.h"
#include "support/testenvironment.h"

using namespace qm;

class TestHelpers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<test::TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void pathParts_data();
    void pathParts();
    void addCategoryFillsSlotsInOrder();
    void addCategoryIgnoresThirtyFirst();
    void fileExistsEdges();
    void fileExistsIgnoresCaseOfName_data();
    void fileExistsIgnoresCaseOfName();
    void lookupCacheSkipsOnlyMissingFolders();
    void showTextFileReadsUtf8AndCp932();
    void showTextFileMissingKeepsPreview();
    void fieldReaderRule_data();
    void fieldReaderRule();
    void fieldReaderRunsAcrossLines();
    void encodeFieldRoundTrips_data();
    void encodeFieldRoundTrips();
    void parseInt16Edges();
    void openingFolderSaysWhenNothingOpensIt_data();
    void openingFolderSaysWhenNothingOpensIt();
    void messageBoxOutlivesItsOwner();

private:
    std::unique_ptr<test::TestEnvironment> m_env;
};

void TestHelpers::pathParts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("last");
    QTest::newRow("folder") << "/tools/editor"
                            << "/tools"
                            << "editor";
    QTest::newRow("trailing separator") << "/apps/"
                                        << "/apps"
                                        << "";
    QTest::newRow("file") << "/apps/index.qmx"
                          << "/apps"
                          << "index.qmx";
    QTest::newRow("root") << "/"
                          << ""
                          << "";
    QTest::newRow("bare name") << "editor"
                               << ""
                               << "editor";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("japanese") << "/ソフト/エディタ"
                              << "/ソフト"
                              << "エディタ";
}

void TestHelpers::pathParts() {
    QFETCH(QString, path);
    QFETCH(QString, parent);
    QFETCH(QString, last);
    QCOMPARE(parentFolder(path), parent);
    QCOMPARE(lastPathPart(path), last);
}

void TestHelpers::addCategoryFillsSlotsInOrder() {
    auto& table = state().categoryTable;
    addCategory("Tools");
    QCOMPARE(table[1], QString("Tools"));
    addCategory("Tools");
    addCategory("");
    addCategory("tools");  // another letter case is another category
    addCategory("ゲーム");
    QVERIFY(table[0].isEmpty());
    QCOMPARE(table[1], QString("Tools"));
    QCOMPARE(table[2], QString("tools"));
    QCOMPARE(table[3], QString("ゲーム"));
    QVERIFY(table[4].isEmpty());
}

void TestHelpers::addCategoryIgnoresThirtyFirst() {
    for (int i = 1; i <= 30; ++i) {
        addCategory(QString("c%1").arg(i));
    }
    addCategory("one too many");
    const auto& table = state().categoryTable;
    QCOMPARE(table[30], QString("c30"));
    for (const QString& slot : table) {
        QVERIFY(slot != "one too many");
    }
    addCategory("c7");  // still found when the table is full
    QCOMPARE(table[7], QString("c7"));
}

void TestHelpers::lookupCacheSkipsOnlyMissingFolders() {
    // Rows whose programs lie in missing folders are answered from the first missing folder;
    // the existing folders beside it are still looked into.
    const QString file = m_env->writeFile("a/Prog.exe", "MZ");
    const FileLookupCache cache;
    QVERIFY(!fileExists(m_env->root() + "/gone/x/Run.exe"));
    QVERIFY(!fileExists(m_env->root() + "/gone/y/Run.exe"));
    QVERIFY(fileExists(m_env->root() + "/a/PROG.exe"));
    QCOMPARE(findFileNoCase(m_env->root() + "/a/prog.EXE"), file);
    m_env->writeFile("b/Tool.exe", "MZ");
    QVERIFY(fileExists(m_env->root() + "/b/tool.exe"));
}

void TestHelpers::fileExistsEdges() {
    const QString file = m_env->writeFile("a/prog.exe", "MZ");
    const QString hidden = m_env->writeFile("a/.hidden", "x");
    QVERIFY(fileExists(file));
    QVERIFY(!fileExists(m_env->root() + "/a"));          // a folder
    QVERIFY(!fileExists(hidden));                        // a hidden file
    QVERIFY(!fileExists(m_env->root() + "/missing/x"));  // a missing folder
    QVERIFY(!fileExists(""));
    QVERIFY(!fileExists(m_env->root() + "/a/"));
    QVERIFY(fileExists(m_env->root() + "/a/*.exe"));  // wildcards
    QVERIFY(fileExists(m_env->root() + "/a/pro?.EXE"));
    QVERIFY(!fileExists(m_env->root() + "/a/*.txt"));
    QVERIFY(!fileExists(m_env->root() + "/a/.hid*"));
    // Only "*" and "?" are wildcards: brackets are part of the name.
    QVERIFY(!fileExists(m_env->root() + "/a/pro[gx].exe"));
    QVERIFY(!fileExists(m_env->root() + "/a/[p]rog.EXE"));
    m_env->writeFile("a/set[1].txt", "x");
    QVERIFY(fileExists(m_env->root() + "/a/SET[1].txt"));
    QVERIFY(fileExists(m_env->root() + "/a/set[?].txt"));
    QVERIFY(folderExists(m_env->root() + "/a"));
    QVERIFY(!folderExists(file));
    QVERIFY(!folderExists(""));
}

void TestHelpers::fileExistsIgnoresCaseOfName_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("found");  // "" when none (or ambiguous)
    QTest::newRow("other case") << "p" << QStringList{"README.TXT"} << "Readme.txt"
                                << "README.TXT";
    QTest::newRow("missing") << "p" << QStringList{"README.TXT"} << "other.txt"
                             << "";
    QTest::newRow("two spellings, exact one wanted")
        << "p" << QStringList{"ReadMe.txt", "README.TXT"} << "README.TXT"
        << "README.TXT";
    QTest::newRow("two spellings, neither exact")
        << "p" << QStringList{"ReadMe.txt", "README.TXT"} << "readme.txt"
        << "";
    // A folder whose name is Shift-JIS bytes, as archives from Windows bring.
    const QString sjis = textFromNameBytes("\x83\x5c\x83\x74\x83\x67");
    QTest::newRow("shift-jis folder") << sjis << QStringList{"Tool.EXE"} << "tool.exe"
                                      << "Tool.EXE";
    QTest::newRow("shift-jis file")
        << "q" << QStringList{sjis + ".exe"} << sjis + ".EXE" << sjis + ".exe";
}

// Exact spelling first, else the single case-blind match; several are never settled by picking.
void TestHelpers::fileExistsIgnoresCaseOfName() {
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    QFETCH(QString, wanted);
    QFETCH(QString, found);
    const QString path = m_env->root() + QStringLiteral("/") + folder;
    QVERIFY(fileSystem().makeFolder(path));
    for (const QString& name : files) {
        QVERIFY(fileSystem().writeFile(QString(path + u'/' + name), "x"));
    }
    const QString expected = found.isEmpty() ? QString() : path + u'/' + found;
    QCOMPARE(findFileNoCase(path + u'/' + wanted), expected);
    QCOMPARE(fileExists(path + u'/' + wanted), !found.isEmpty());
    for (const QString& name : files) {
        fileSystem().remove(QString(path + u'/' + name));
    }
    fileSystem().remove(path);
}

void TestHelpers::showTextFileReadsUtf8AndCp932() {
    QPlainTextEdit preview;
    const QString utf8 = m_env->writeFile("t/utf8.txt", "\xEF\xBB\xBFこんにちは①");
    showTextFile(utf8, &preview);
    QCOMPARE(preview.toPlainText(), QString("こんにちは①"));

    QStringEncoder cp932("CP932");
    const QByteArray bytes = cp932.encode(QString("説明書～①"));
    const QString legacy = m_env->writeFile("t/legacy.txt", bytes);
    showTextFile(legacy, &preview);
    QCOMPARE(preview.toPlainText(), QString("説明書～①"));

    const QString empty = m_env->writeFile("t/empty.txt", "");
    showTextFile(empty, &preview);
    QCOMPARE(preview.toPlainText(), QString());
    QVERIFY(m_env->prompt.messages.isEmpty());
}

void TestHelpers::showTextFileMissingKeepsPreview() {
    QPlainTextEdit preview;
    preview.setPlainText("before");
    const QString missing = m_env->root() + "/nothing.txt";
    showTextFile(missing, &preview);
    QCOMPARE(preview.toPlainText(), QString("before"));
    QCOMPARE(m_env->prompt.texts(), QStringList{missing + " ﾌｧｲﾙを開けません。"});
    QCOMPARE(m_env->prompt.messages.first().flags, 0);
}

void TestHelpers::fieldReaderRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << "a,b,c\r\n" << QStringList{"a", "b", "c"};
    QTest::newRow("leading spaces skipped") << "  a,  b\r\n" << QStringList{"a", "b"};
    QTest::newRow("trailing spaces kept") << "a  ,b\r\n" << QStringList{"a  ", "b"};
    QTest::newRow("quoted with comma") << "\"a,b\",c\r\n" << QStringList{"a,b", "c"};
    QTest::newRow("after closing quote ignored") << "\"a\"xyz,c\r\n" << QStringList{"a", "c"};
    QTest::newRow("empty fields") << "1,,\r\n" << QStringList{"1", "", ""};
    QTest::newRow("LF only") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("no final line end") << "a,b" << QStringList{"a", "b"};
    QTest::newRow("unclosed quote") << "\"abc,def" << QStringList{"abc,def"};
}

void TestHelpers::fieldReaderRule() {
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    FieldReader reader(text);
    QStringList read;
    while (auto field = reader.next()) {
        read.append(*field);
    }
    QCOMPARE(read, fields);
    QVERIFY(reader.atEnd());
}

void TestHelpers::fieldReaderRunsAcrossLines() {
    FieldReader reader("1,a\r\nb,c\r\n");
    QCOMPARE(reader.next().value(), QString("1"));
    QCOMPARE(reader.next().value(), QString("a"));
    QCOMPARE(reader.next().value(), QString("b"));
    QCOMPARE(reader.next().value(), QString("c"));
    QVERIFY(!reader.next());
    QCOMPARE(firstField("  \"/a,b\" rest,x\r\nsecond"), QString("/a,b"));
    QCOMPARE(firstField(""), QString());
}

void TestHelpers::encodeFieldRoundTrips_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("plain") << "Editor"
                           << "Editor";
    QTest::newRow("comma") << "a, b"
                           << "a, b";
    QTest::newRow("leading space") << "  x"
                                   << "  x";
    QTest::newRow("leading quote") << "\"q\" x"
                                   << "''q'' x";
    QTest::newRow("inner quote") << "say \"hi\""
                                 << "say \"hi\"";
    QTest::newRow("line break") << "one\r\ntwo\nthree"
                                << "one two three";
    QTest::newRow("japanese") << "日本語、テスト"
                              << "日本語、テスト";
}

void TestHelpers::encodeFieldRoundTrips() {
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    const QString line = encodeField(text) + ",next\r\n";
    FieldReader reader(line);
    QCOMPARE(reader.next().value(), readBack);
    QCOMPARE(reader.next().value(), QString("next"));
    QVERIFY(reader.atEnd());
}

void TestHelpers::parseInt16Edges() {
    QCOMPARE(parseInt16("1").value(), qint16(1));
    QCOMPARE(parseInt16(" 2").value(), qint16(2));
    QCOMPARE(parseInt16("-1").value(), qint16(-1));
    QCOMPARE(parseInt16("").value(), qint16(0));
    QCOMPARE(parseInt16("abc").value(), qint16(0));
    QCOMPARE(parseInt16("32767").value(), qint16(32767));
    QVERIFY(!parseInt16("32768"));
    QVERIFY(!parseInt16("99999999999999999999"));
}

void TestHelpers::openingFolderSaysWhenNothingOpensIt_data() {
    QTest::addColumn<int>("openerExit");
    QTest::addColumn<bool>("opened");
    QTest::newRow("a file manager takes it") << 0 << true;
    QTest::newRow("no file manager") << 3 << false;
}

// The desktop's opener is a script here that answers as told.
void TestHelpers::openingFolderSaysWhenNothingOpensIt() {
    QFETCH(int, openerExit);
    QFETCH(bool, opened);
    const QString bin = m_env->makeFolder("bin");
    const QString opener = m_env->writeFile(
        "bin/xdg-open", QByteArray("#!/bin/sh\nexit ") + QByteArray::number(openerExit) + "\n");
    QFile::setPermissions(opener, QFile::permissions(opener) | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8());
    Launcher::setInstance(nullptr);
    const bool result = Launcher::instance().openFolder(m_env->root());
    qputenv("PATH", path);
    QCOMPARE(result, opened);
}

// A window that closes as a box comes up is still the active one for a moment and is destroyed
// while the box waits: the box must neither stand over it nor go down with a window it stands
// over.
void TestHelpers::messageBoxOutlivesItsOwner() {
    Prompt::setInstance(nullptr);
    auto* closed = new QWidget;
    closed->show();
    QVERIFY(QTest::qWaitForWindowActive(closed));
    closed->hide();
    QWidget* closedOwner = closed;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QVERIFY(box->parentWidget() != closedOwner);
        delete closed;
        box->close();
    });
    QCOMPARE(messageBox(QStringLiteral("over a closed window"), MsgYesNo), int(AnswerNo));

    // Destroyed under the box: the box goes with it and counts as escaped.
    const auto underDestroyedOwner = [](const std::function<int()>& ask) {
        auto* open = new QWidget;
        open->show();
        if (!QTest::qWaitForWindowActive(open)) {
            return -2;
        }
        QTimer::singleShot(0, [open] { delete open; });
        return ask();
    };
    QCOMPARE(underDestroyedOwner([] { return messageBox(QStringLiteral("gone"), MsgYesNo); }),
             int(AnswerNo));
    QCOMPARE(underDestroyedOwner([] {
                 return chooseButton(QStringLiteral("gone"),
                                     {QStringLiteral("a"), QStringLiteral("b")}, 0);
             }),
             1);
}

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
