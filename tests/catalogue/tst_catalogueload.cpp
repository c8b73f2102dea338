#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

#include <filesystem>

#include "app/busycursor.h"
#include "catalogue/cataloguefilter.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/foldedtexts.h"
#include "cataloguefixture.h"
#include "platform/pathbytes.h"
#include "support/fakefilesystem.h"

using namespace qm;
using qm::test::CatalogueFixture;

class CatalogueLoadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<CatalogueFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void mergeDecisions_data();
    void mergeDecisions();
    void categoriesAreCollected();
    void thirtyFirstCategoryStillMerges();
    void cp932ListLoadsJapanese();
    void indexFindsFolderAsRowSearchWould();
    void filterMatching_data();
    void filterMatching();
    void filterFollowsChangedRows();
    void foldedTextsFollowTheirRows();

    void closingWithoutChangeAsksNothing();
    void savedListIsByteExactAndHandsOver();
    void answeringNoKeepsFile();
    void hostileNamesSurviveSaveAndReload_data();
    void hostileNamesSurviveSaveAndReload();
    void failedSaveReportsAndKeepsOldFile();
    void windowKeepsItsOwnFolderAfterFailedSave();
    void misreadListIsKeptBeforeFirstSave();
    void misreadListWhoseCopyFailsStaysOpen();
    void missingProgramsInOneBigFolderLoadFast();
    void folderNamesThatAreNotTextRoundTrip();
    void unpreparedWorkingFolderSavesItsOwnList_data();
    void unpreparedWorkingFolderSavesItsOwnList();

private:
    std::unique_ptr<CatalogueFixture> m_fixture;
};

void CatalogueLoadTest::mergeDecisions_data() {
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QByteArray>("list");  // "-" for no list file
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("warned");  // told that the list file was misread

    QTest::newRow("empty working folder")
        << QStringList() << QByteArray("-") << QStringList() << false << false;
    QTest::newRow("three folders, no list")
        << QStringList{"b", "a", "C"} << QByteArray("-")
        << QStringList{"2,a,a,未設定,不明,未設定", "2,b,b,未設定,不明,未設定",
                       "2,C,C,未設定,不明,未設定"}
        << false << false;
    QTest::newRow("folders in order of letters, then case")
        << QStringList{"b", "Äb", "a", "B"} << QByteArray("-")
        << QStringList{"2,a,a,未設定,不明,未設定", "2,B,B,未設定,不明,未設定",
                       "2,b,b,未設定,不明,未設定", "2,Äb,Äb,未設定,不明,未設定"}
        << false << false;
    QTest::newRow("empty fields keep placeholders")
        << QStringList{"sub"} << QByteArray("1,Name,sub,,,\r\n")
        << QStringList{"1,Name,sub,未設定,不明,未設定"} << false << false;
    QTest::newRow("record of a vanished folder is dropped")
        << QStringList{"a"} << QByteArray("1,Gone,gone,c,e,d\r\n1,A,a,c,e,d\r\n")
        << QStringList{"1,A,a,c,e,d"} << true << false;
    QTest::newRow("existing folder not listed is dropped quietly")
        << QStringList{"a", ".hidden"} << QByteArray("1,H,.hidden,c,e,d\r\n")
        << QStringList{"2,a,a,未設定,不明,未設定"} << false << false;
    QTest::newRow("duplicates: last non-empty value wins")
        << QStringList{"a"} << QByteArray("1,First,a,Cat,e1,d1\r\n0,,a,,e2,\r\n")
        << QStringList{"0,First,a,Cat,e2,d1"} << false << false;
    QTest::newRow("order is the folder listing's")
        << QStringList{"zeta", "Alpha", "mid"}
        << QByteArray("1,Z,zeta,c,e,d\r\n1,M,mid,c,e,d\r\n1,A,Alpha,c,e,d\r\n")
        << QStringList{"1,A,Alpha,c,e,d", "1,M,mid,c,e,d", "1,Z,zeta,c,e,d"} << false << false;
    QTest::newRow("exact letter case wins over another spelling")
        << QStringList{"a", "tools", "TOOLS"}
        << QByteArray("1,A,a,Tools,e,d\r\n1,B,tools,c,e,d\r\n")
        << QStringList{"1,A,a,Tools,e,d", "2,TOOLS,TOOLS,未設定,不明,未設定", "1,B,tools,c,e,d"}
        << false << false;
    QTest::newRow("a category equal to the key is not the folder")
        << QStringList{"b", "Tools"} << QByteArray("1,B,b,Tools,e,d\r\n1,T,Tools,c,e2,d2\r\n")
        << QStringList{"1,B,b,Tools,e,d", "1,T,Tools,c,e2,d2"} << false << false;
    QTest::newRow("folder written in another letter case keeps the disk's spelling")
        << QStringList{"Editor", "b"} << QByteArray("1,E,EDITOR,c,e,d\r\n1,B,B,c,e,d\r\n")
        << QStringList{"1,B,b,c,e,d", "1,E,Editor,c,e,d"} << false << false;
    QTest::newRow("two spellings on disk: a third matches neither")
        << QStringList{"ab", "AB", "a"} << QByteArray("1,A,a,c,e,d\r\n1,Q,Ab,c,e,d\r\n")
        << QStringList{"1,A,a,c,e,d", "2,AB,AB,未設定,不明,未設定", "2,ab,ab,未設定,不明,未設定"}
        << true << false;
    QTest::newRow("truncated last record stops the merge")
        << QStringList{"a", "b"} << QByteArray("1,A,a,c,e,d\r\n1,B,b,c")
        << QStringList{"1,A,a,c,e,d", "2,b,b,未設定,不明,未設定"} << false << true;
    QTest::newRow("cut inside the last field")
        << QStringList{"a", "b"} << QByteArray("1,A,a,c,e,d\r\n1,B,b,c,e,de")
        << QStringList{"1,A,a,c,e,d", "1,B,b,c,e,de"} << false << true;
    QTest::newRow("one stray byte keeps the other records UTF-8")
        << QStringList{"a", "b"}
        << QByteArray("1,エディタ,a,c,e,d\r\n1,B\xff,b,c,e,d\r\n1,ビュー,c,c,e,d\r\n")
        << QStringList{"1,エディタ,a,c,e,d", "1,B\uEFFF,b,c,e,d"} << true << true;
    QTest::newRow("blank line in the middle shifts the records")
        << QStringList{"a", "b"} << QByteArray("1,A,a,c,e,d\r\n\r\n1,Bee,b,c,e,d\r\n")
        << QStringList{"1,A,a,c,e,d", "2,b,b,未設定,不明,未設定"} << true << true;
    QTest::newRow("unquoted comma in an old description")
        << QStringList{"a", "b", "c"}
        << QByteArray("1,A,a,c,e,small, fast\r\n1,Bee,b,c,e,d\r\n1,Cee,c,c,e,d\r\n")
        << QStringList{"1,A,a,c,e,small", "2,b,b,未設定,不明,未設定", "2,c,c,未設定,不明,未設定"}
        << true << true;
    QTest::newRow("name of a listed folder where the folder should be")
        << QStringList{"a", "b"} << QByteArray("1,b,gone,c,e,d\r\n1,A,a,c,e,d\r\n")
        << QStringList{"1,A,a,c,e,d", "2,b,b,未設定,不明,未設定"} << true << true;
    QTest::newRow("stored icon number reads as registered")
        << QStringList{"a"} << QByteArray("5,A,a,c,e,d\r\n") << QStringList{"1,A,a,c,e,d"} << false
        << false;
    QTest::newRow("quoted fields")
        << QStringList{"a"} << QByteArray("1,\"A, the editor\",a,\" c\",e,\"d,d\"\r\n")
        << QStringList{"1,\"A, the editor\",a,\" c\",e,\"d,d\""} << false << false;
}

void CatalogueLoadTest::mergeDecisions() {
    QFETCH(QStringList, folders);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, rows);
    QFETCH(bool, changed);
    QFETCH(bool, warned);
    const QString work = m_fixture->makeWorkFolder("w", folders);
    m_fixture->useWorkFolder(work, list == "-" ? nullptr : &list);
    CatalogueWindow* window = m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    QVERIFY(window);
    QCOMPARE(CatalogueFixture::rows(), rows);
    QCOMPARE(window->listChanged(), changed);
    // Records dropped for a vanished folder are named before they go (every list changed here
    // lost one); a misread list is said last.
    const auto& messages = m_fixture->env->prompt.messages;
    QCOMPARE(messages.size(), int(warned) + int(changed));
    if (changed) {
        QVERIFY(
            messages[0].text.contains("にないため、その登録情報はリストを保存するときに除かれ"));
    }
    if (warned) {
        QVERIFY(messages.last().text.contains("を最後まで正しく読み込めませんでした。"));
        QVERIFY(messages.last().text.contains("index.qmx.bak"));
    }
    QVERIFY(window->isEnabled());
    QCOMPARE(window->windowTitle(), "Quillmorn ListView - " + work);
}

void CatalogueLoadTest::categoriesAreCollected() {
    const QString work = m_fixture->makeWorkFolder("w", {"a"});
    const QByteArray list("1,A,a,Tools,e,d\r\n1,G,gone,Games,e,d\r\n1,A2,a,Tools,e,d\r\n");
    m_fixture->useWorkFolder(work, &list);
    m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    const auto& table = state().categoryTable;
    QCOMPARE(table[1], "Tools");
    QCOMPARE(table[2], "Games");
    QVERIFY(table[3].isEmpty());
}

void CatalogueLoadTest::thirtyFirstCategoryStillMerges() {
    QStringList folders;
    QByteArray list;
    for (int i = 0; i < 32; ++i) {
        const QString folder = QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0'));
        folders.append(folder);
        list += QStringLiteral("1,N%1,%2,Cat%1,e,d\r\n").arg(i).arg(folder).toUtf8();
    }
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", folders), &list);
    m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    QCOMPARE(CatalogueFixture::model()->rowCount(), 32);
    for (const CatalogueEntry& entry : CatalogueFixture::model()->entries()) {
        QCOMPARE(entry.state, qint16(1));
        QVERIFY(entry.name.startsWith('N'));
    }
    QCOMPARE(state().categoryTable[30], "Cat29");
}

void CatalogueLoadTest::cp932ListLoadsJapanese() {
    QStringEncoder cp932("CP932");
    const QByteArray list = cp932.encode(
        QStringLiteral("1,テキスト編集,editor,ツール,/soft/editor/edit.exe,小さなエディタ①\r\n"));
    QVERIFY(!cp932.hasError());
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"editor"}), &list);
    m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    QCOMPARE(CatalogueFixture::rows(),
             QStringList{"1,テキスト編集,editor,ツール,/soft/editor/edit.exe,小さなエディタ①"});
}

void CatalogueLoadTest::indexFindsFolderAsRowSearchWould() {
    // Random rows and updates over a small alphabet of texts, so that many rows share texts;
    // after every update the index must answer as a search of the folder column in row order:
    // the first exact match, else the only match without regard to case.
    const QStringList texts{"a", "b", "c", "A", "未設定", "不明", ""};
    QRandomGenerator random(20261207);
    const auto pick = [&] { return texts.at(random.bounded(int(texts.size()))); };
    CatalogueModel model;
    const auto linear = [&](const QString& key) {
        QList<int> otherCase;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString& folder = model.entry(row).folder;
            if (folder == key) {
                return row;
            }
            if (folder.compare(key, Qt::CaseInsensitive) == 0) {
                otherCase.append(row);
            }
        }
        return otherCase.size() == 1 ? otherCase.first() : -1;
    };
    for (int i = 0; i < 40; ++i) {
        model.addRow({2, "n", pick(), pick(), pick(), pick()});
    }
    for (int step = 0; step < 3000; ++step) {
        const QString key = pick();
        const int expected = linear(key);
        const int action = random.bounded(10);
        if (action < 6) {
            QCOMPARE(model.updateRowByFolder(key, -1, "", pick(), pick(), pick(), pick()),
                     expected);
        } else if (action < 8) {
            model.setEntry(random.bounded(model.rowCount()),
                           {1, "x", pick(), pick(), pick(), pick()});
        } else if (action < 9 && model.rowCount() > 5) {
            model.removeEntry(random.bounded(model.rowCount()));
        } else {
            model.sort(random.bounded(CatalogueModel::kColumnCount));
        }
        for (const QString& text : texts) {
            QCOMPARE(model.updateRowByFolder(text, -1, "", "", "", "", ""), linear(text));
        }
    }
}

void CatalogueLoadTest::closingWithoutChangeAsksNothing() {
    const QByteArray list("1,A,a,c,e,d\r\n");
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a"}), &list);
    m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    CatalogueFixture::closeWindow();
    QCOMPARE(m_fixture->env->prompt.messages.size(), 0);
    QCOMPARE(m_fixture->env->endCount, 1);
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()), list);
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Links));
}

void CatalogueLoadTest::savedListIsByteExactAndHandsOver() {
    // A record of a vanished folder makes the list changed; the save writes the rows in their
    // order, placeholders and all, and the icon number of a registered row as 1.
    const QByteArray list("1,Name,sub,,,\r\n1,Gone,gone,c,e,d\r\n0,X,x,c,e,d\r\n");
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"sub", "x", "new"}), &list);
    CatalogueWindow* window = m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    QVERIFY(window->listChanged());
    CatalogueFixture::model()->setState(1, 9);
    const QString work = window->workFolder();  // the window is gone once it closed
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    const auto& messages = m_fixture->env->prompt.messages;
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[0].text,
             "次のフォルダが " + work +
                 " にないため、その登録情報はリストを保存するときに除かれます。\ngone");
    QCOMPARE(messages[1].text, "実行するにはリストの保存が必要です。\n変更を上書き保存しますか？");
    QCOMPARE(messages[1].flags, int(MsgYesNo));
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()),
             QString("2,new,new,未設定,不明,未設定\r\n1,Name,sub,未設定,不明,未設定\r\n"
                     "0,X,x,c,e,d\r\n")
                 .toUtf8());
    QVERIFY(test::waitFor([this] { return m_fixture->shown.contains(WindowKind::Links); }));
    QCOMPARE(m_fixture->env->endCount, 0);
}

void CatalogueLoadTest::answeringNoKeepsFile() {
    const QByteArray list("1,Gone,gone,c,e,d\r\n");
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a"}), &list);
    CatalogueWindow* window = m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    m_fixture->env->prompt.answers = {AnswerNo};
    window->saveList();
    QVERIFY(!window->listChanged());
    CatalogueFixture::closeWindow();
    QCOMPARE(m_fixture->env->prompt.messages.size(), 2);
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()), list);
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Links));
    QCOMPARE(m_fixture->env->endCount, 1);
}

void CatalogueLoadTest::hostileNamesSurviveSaveAndReload_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reloaded");
    QTest::newRow("comma") << "Editor, the best"
                           << "Editor, the best";
    QTest::newRow("leading space") << " spaced"
                                   << " spaced";
    QTest::newRow("quotes") << "\"Quoted\" name"
                            << "''Quoted'' name";
    QTest::newRow("line break") << "two\nlines"
                                << "two lines";
    QTest::newRow("japanese comma") << "エディタ,改"
                                    << "エディタ,改";
}

void CatalogueLoadTest::hostileNamesSurviveSaveAndReload() {
    QFETCH(QString, typed);
    QFETCH(QString, reloaded);
    const QByteArray list("1,A,a,cat,exe,desc\r\n1,B,b,cat,exe,desc\r\n");
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b"});
    m_fixture->useWorkFolder(work, &list);
    CatalogueWindow* window = m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    // The in-place edit of the first row's name.
    QVERIFY(CatalogueFixture::model()->setData(CatalogueFixture::model()->index(0, 0), typed));
    QVERIFY(window->listChanged());
    // And a registration that typed the same text into category and description.
    CatalogueEntry edited = CatalogueFixture::model()->entry(1);
    edited.category = typed;
    edited.description = typed;
    CatalogueFixture::model()->setEntry(1, edited);
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QVERIFY(
        test::waitFor([] { return !WindowRegistry::instance().isLoaded(WindowKind::Catalogue); }));

    m_fixture->open();

    QVERIFY(CatalogueFixture::model());
    QCOMPARE(CatalogueFixture::model()->rowCount(), 2);
    QCOMPARE(CatalogueFixture::model()->entry(0),
             (CatalogueEntry{1, reloaded, "a", "cat", "exe", "desc"}));
    QCOMPARE(CatalogueFixture::model()->entry(1),
             (CatalogueEntry{1, "B", "b", reloaded, "exe", reloaded}));
}

void CatalogueLoadTest::failedSaveReportsAndKeepsOldFile() {
    const QByteArray list("1,Gone,gone,c,e,d\r\n");
    const QString work = m_fixture->makeWorkFolder("w", {"a"});
    m_fixture->useWorkFolder(work, &list);
    // The list file's place is taken by a folder: the save cannot replace it.
    QFile::remove(m_fixture->listFile());
    QDir().mkpath(m_fixture->listFile() + "/inside");
    m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    QVERIFY(CatalogueFixture::model()->setData(CatalogueFixture::model()->index(0, 0), "new"));
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    const auto& messages = m_fixture->env->prompt.messages;
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages[1].text.contains("index.qmx"));
    QCOMPARE(messages[1].flags, int(MsgExclamation));
    QCOMPARE(messages[1].title, QString());
    QVERIFY(QFileInfo(m_fixture->listFile() + "/inside").isDir());
    // Nothing is lost: the window stays open with its changes and the program goes on.
    QVERIFY(CatalogueFixture::window());
    QVERIFY(CatalogueFixture::window()->isVisible());
    QVERIFY(CatalogueFixture::window()->listChanged());
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Links));
    QCOMPARE(m_fixture->env->endCount, 0);
    // Once the place is free again, closing asks again and saves.
    QVERIFY(QDir(m_fixture->listFile()).removeRecursively());
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QCOMPARE(m_fixture->env->prompt.messages.size(), 3);
    QVERIFY(!CatalogueFixture::window());
    QVERIFY(test::TestEnvironment::readFile(m_fixture->listFile()).startsWith("2,new,a,"));
}

void CatalogueLoadTest::windowKeepsItsOwnFolderAfterFailedSave() {
    const QByteArray listB("1,Bee,b,c,e,d\r\n");
    const QString workB = m_fixture->makeWorkFolder("B", {"b"});
    m_fixture->useWorkFolder(workB, &listB);
    const QString listFileB = m_fixture->listFile();
    const QString workA = m_fixture->makeWorkFolder("A", {"a"});
    m_fixture->useWorkFolder(workA);
    const QString listFileA = m_fixture->listFile();
    QDir().mkpath(listFileA + "/inside");  // A's list cannot be written for now
    m_fixture->open();
    QVERIFY(CatalogueFixture::model()->setData(CatalogueFixture::model()->index(0, 0), "new"));

    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::window()->findChild<QPushButton*>("Command12")->click();
    QCoreApplication::processEvents();
    // The save failed: the catalogue stays, and the menu does not open beside it.
    QVERIFY(CatalogueFixture::window());
    QVERIFY(!m_fixture->shown.contains(WindowKind::MainMenu));

    // Another window makes B the working folder meanwhile.
    state().workFolder = workB;
    state().listFolder = listFolderOf(workB);
    QVERIFY(QDir(listFileA).removeRecursively());
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::window()->findChild<QPushButton*>("Command12")->click();
    QVERIFY(test::waitFor([this] { return m_fixture->shown.contains(WindowKind::MainMenu); }));
    QCOMPARE(test::TestEnvironment::readFile(listFileA),
             QString("2,new,a,未設定,不明,未設定\r\n").toUtf8());
    QCOMPARE(test::TestEnvironment::readFile(listFileB), listB);
    // The menu and the link window are handed the folder whose list was saved.
    QCOMPARE(state().workFolder, workA);
    QCOMPARE(state().listFolder, listFolderOf(workA));
}

void CatalogueLoadTest::misreadListIsKeptBeforeFirstSave() {
    const QByteArray list("1,A,a,c,e,d\r\n\r\n1,Bee,b,c,e,d\r\n");
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a", "b"}), &list);
    // A copy kept earlier is not overwritten.
    QFile older(m_fixture->listFile() + ".bak");
    QVERIFY(older.open(QIODevice::WriteOnly) && older.write("older") == 5);
    older.close();
    CatalogueWindow* window = m_fixture->open();
    QCOMPARE(m_fixture->env->prompt.messages.size(), 2);
    QVERIFY(m_fixture->env->prompt.messages[1].text.contains("index.qmx.bak1"));
    QVERIFY(window->listChanged());
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QVERIFY(!CatalogueFixture::window());
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile() + ".bak1"), list);
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile() + ".bak"), "older");
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()),
             QString("1,A,a,c,e,d\r\n2,b,b,未設定,不明,未設定\r\n").toUtf8());
}

void CatalogueLoadTest::misreadListWhoseCopyFailsStaysOpen() {
    const QByteArray list("1,A,a,c,e,d\r\n1,B,b,c");
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a", "b"}), &list);
    test::FakeFileSystem fileSystem;
    fileSystem.refuse(test::FakeFileSystem::Write,
                      [](const QString& path) { return path.endsWith(".bak"); });
    m_fixture->open();
    QVERIFY(CatalogueFixture::model()->setData(CatalogueFixture::model()->index(0, 0), "new"));
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QVERIFY(m_fixture->env->prompt.messages.last().text.contains("保存しませんでした"));
    QVERIFY(CatalogueFixture::window());
    QCOMPARE(m_fixture->env->endCount, 0);
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()), list);
}

void CatalogueLoadTest::missingProgramsInOneBigFolderLoadFast() {
    // Every registered program is missing from one folder full of other files: the folder is
    // listed once per load, not once per row.
    constexpr int kCount = 2000;
    const QString bin = m_fixture->env->makeFolder("bin");
    QStringList folders;
    QByteArray list;
    for (int i = 0; i < kCount; ++i) {
        const QString name = QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0'));
        folders.append(name);
        QFile(bin + "/other" + name).open(QIODevice::WriteOnly);
        list += QStringLiteral("1,N,%1,c,%2/Run%1.exe,d\r\n").arg(name, bin).toUtf8();
    }
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", folders), &list);
    QElapsedTimer timer;
    timer.start();
    m_fixture->open();
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(CatalogueFixture::model()->rowCount(), kCount);
    QCOMPARE(CatalogueFixture::model()->entry(0).state, qint16(1));
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed) + " ms"));
}

void CatalogueLoadTest::folderNamesThatAreNotTextRoundTrip() {
    // "ソフト" in Shift-JIS, and bytes that are neither UTF-8 nor CP932.
    const QByteArray shiftJis("\x83\x5c\x83\x74\x83\x67");
    const QByteArray broken("\xff\xfe");
    const QByteArray unlisted("\x90\x56");  // "新"
    const QString work = m_fixture->makeWorkFolder("w", {"plain"});
    for (const QByteArray& name : {shiftJis, broken, unlisted}) {
        std::filesystem::create_directory(fsPath(work) / name.toStdString());
    }
    // In the list file each byte that is not text is one private-use character (UTF-8 EE BE xx);
    // the record of a vanished folder makes the list changed, so that closing saves it.
    const QByteArray stored("\xee\xbe\x83\\\xee\xbe\x83t\xee\xbe\x83g");
    const QByteArray list = "1,My Tool," + stored + ",Tools,e,d\r\n1,Gone,gone,c,e,d\r\n";
    m_fixture->useWorkFolder(work, &list);
    for (int pass = 0; pass < 2; ++pass) {
        m_fixture->open();
        QVERIFY(CatalogueFixture::model());
        QMap<QString, CatalogueEntry> rows;  // by folder
        for (const CatalogueEntry& entry : CatalogueFixture::model()->entries()) {
            rows.insert(entry.folder, entry);
            // The folder text leads back to the real folder, byte for byte.
            QVERIFY(std::filesystem::is_directory(fsPath(work + u'/' + entry.folder)));
        }
        QCOMPARE(rows.size(), 4);
        const CatalogueEntry tool = rows.value(textFromNameBytes(shiftJis));
        QCOMPARE(tool.name, QStringLiteral("My Tool"));
        QCOMPARE(tool.category, QStringLiteral("Tools"));
        // An unregistered one shows its name read as CP932, or with replacement characters.
        QCOMPARE(rows.value(textFromNameBytes(broken)).name, QStringLiteral("\uFFFD\uFFFD"));
        QCOMPARE(rows.value(textFromNameBytes(unlisted)).name, QStringLiteral("新"));
        m_fixture->env->prompt.answers = {AnswerYes};
        CatalogueFixture::closeWindow();
        QVERIFY(test::waitFor(
            [] { return !WindowRegistry::instance().isLoaded(WindowKind::Catalogue); }));
        const QByteArray saved = test::TestEnvironment::readFile(m_fixture->listFile());
        QVERIFY2(saved.contains(QByteArray("1,My Tool," + stored + ",Tools,e,d\r\n")),
                 saved.constData());
    }
}

void CatalogueLoadTest::filterMatching_data() {
    QTest::addColumn<QString>("typed");
    // name, category, description, folder; the program file is always "/p/run.exe".
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<bool>("shown");
    const QStringList palette{"パレット", "画像", "いろを選ぶ", "Palette"};
    QTest::newRow("hiragana finds katakana") << "ぱれっと" << palette << true;
    QTest::newRow("hiragana finds half-width kana")
        << "ぱれっと" << QStringList{"ﾊﾟﾚｯﾄ", "k", "d", "f"} << true;
    QTest::newRow("half-width kana finds hiragana")
        << "ﾊﾟﾚｯﾄ" << QStringList{"ぱれっと", "k", "d", "f"} << true;
    QTest::newRow("a voiced mark is not ignored") << "はれっと" << palette << false;
    QTest::newRow("a combining voiced mark joins its kana")
        << "がぎ" << QStringList{QString::fromUtf16(u"か\u3099ぎ"), "k", "d", "f"} << true;
    QTest::newRow("letter case") << "PALETTE" << palette << true;
    QTest::newRow("letter case and katakana in one text")
        << "palette ぱれ" << QStringList{"PALETTE パレ", "k", "d", "f"} << true;
    QTest::newRow("letter case beyond ASCII beside kana")
        << "ärger つーる" << QStringList{"ÄRGER ツール", "k", "d", "f"} << true;
    QTest::newRow("katakana vu") << "ゔぁ" << QStringList{"ヴァイオリン", "k", "d", "f"} << true;
    QTest::newRow("full-width letters") << "ｐａｌ" << palette << true;
    QTest::newRow("full-width digits")
        << "ｔｏｏｌ１２" << QStringList{"Tool12", "k", "d", "f"} << true;
    QTest::newRow("category") << "画" << palette << true;
    QTest::newRow("description") << "イロ" << palette << true;
    QTest::newRow("folder") << "ette" << QStringList{"名前", "k", "d", "Palette"} << true;
    QTest::newRow("program file is not searched") << "run" << palette << false;
    QTest::newRow("no match across two fields") << "ぱれっとが" << palette << false;
    QTest::newRow("empty shows every row") << "" << palette << true;
    QTest::newRow("other text") << "エディタ" << palette << false;
}

void CatalogueLoadTest::filterMatching() {
    QFETCH(QString, typed);
    QFETCH(QStringList, row);
    QFETCH(bool, shown);
    CatalogueModel model;
    CatalogueEntry entry;
    entry.state = 1;
    entry.name = row[0];
    entry.category = row[1];
    entry.description = row[2];
    entry.folder = row[3];
    entry.exe = "/p/run.exe";
    model.addRow(entry);
    CatalogueFilter filter(model);
    filter.setText(typed);
    QCOMPARE(filter.rowCount() == 1, shown);
}

// The rows' folded texts are made ahead while the program is idle: a row whose texts change
// afterwards (as the list is merged into the scanned rows) is found by its new texts, also
// after it got a new mark.
void CatalogueLoadTest::filterFollowsChangedRows() {
    CatalogueModel model;
    CatalogueEntry entry;
    entry.state = 2;
    entry.name = entry.category = entry.description = "未設定";
    entry.folder = "pl";
    entry.exe = "/p/run.exe";
    model.addRow(entry);
    CatalogueFilter filter(model);
    QCoreApplication::processEvents();
    {
        const CatalogueModel::ChangeBatch merge(model);
        entry.name = "パレット";
        model.setEntry(0, entry);
    }
    QCoreApplication::processEvents();
    model.setState(0, 1);
    QCoreApplication::processEvents();
    filter.setText("ぱれっと");
    QCOMPARE(filter.rowCount(), 1);
}

// The folded texts share one buffer: rows inserted, removed and changed keep their own texts,
// also after the space of changed ones was taken back.
void CatalogueLoadTest::foldedTextsFollowTheirRows() {
    FoldedTexts texts;
    texts.fit(3);
    texts.set(0, "a");
    texts.set(1, "b");
    texts.set(2, "c");
    texts.insert(1, 2);  // a _ _ b c
    texts.erase(3, 3);   // a _ _ c
    texts.set(1, QString(70000, u'x'));
    texts.set(1, "x");  // the long text is garbage now
    texts.set(2, "y");  // and is taken back here
    texts.forget(0);
    QStringList seen;
    for (int row = 0; row < 4; ++row) {
        seen.append(texts.has(row) ? texts.at(row).toString() : "-");
    }
    QCOMPARE(seen, (QStringList{"-", "x", "y", "c"}));
}

void CatalogueLoadTest::unpreparedWorkingFolderSavesItsOwnList_data() {
    QTest::addColumn<QString>("other");  // a prepared working folder beside it ("" for none)
    QTest::newRow("never prepared") << "";
    QTest::newRow("another folder's list in another letter case") << "Apps";
}

void CatalogueLoadTest::unpreparedWorkingFolderSavesItsOwnList() {
    // As "-l" opens it: the list folder may not exist yet, or belong to another working folder.
    QFETCH(QString, other);
    const QString work = m_fixture->makeWorkFolder("APPS", {"a"});
    const QByteArray otherList("1,Theirs,a,c,e,d\r\n");
    QString otherListFile;
    if (!other.isEmpty()) {
        const QString otherWork = m_fixture->makeWorkFolder(other, {"a"});
        QVERIFY(prepareWorkingFolder(otherWork));
        otherListFile = listFolderOf(otherWork) + "/index.qmx";
        QFile file(otherListFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(otherList) == otherList.size());
    }
    state().workFolder = work;
    state().listFolder = listFolderOf(work);
    m_fixture->open();
    QVERIFY(CatalogueFixture::model());
    QCOMPARE(CatalogueFixture::rows(), QStringList{"2,a,a,未設定,不明,未設定"});
    QVERIFY(CatalogueFixture::model()->setData(CatalogueFixture::model()->index(0, 0), "new"));
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QVERIFY(!CatalogueFixture::window());
    QCOMPARE(test::TestEnvironment::readFile(listFolderOf(work) + "/index.qmx"),
             QString("2,new,a,未設定,不明,未設定\r\n").toUtf8());
    QCOMPARE(readSettingsFile(listFolderOf(work)), work);
    if (!other.isEmpty()) {
        QCOMPARE(test::TestEnvironment::readFile(otherListFile), otherList);
    }
}

QTEST_MAIN(CatalogueLoadTest)
#include "tst_catalogueload.moc"
