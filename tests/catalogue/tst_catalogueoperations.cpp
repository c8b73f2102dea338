#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <fstream>

#include "app/busycursor.h"
#include "catalogue/catalogueservice.h"
#include "cataloguefixture.h"
#include "platform/pathbytes.h"
#include "support/fakefilesystem.h"

using namespace qm;
using qm::test::CatalogueFixture;

namespace {

void click(const char* name) {
    auto* button = CatalogueFixture::window()->findChild<QPushButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    button->click();
}

// Registers the entry in the exchange record as `name`, with a category, program and description.
void registerAs(const QString& name) {
    ProgramState& s = state();
    s.editState = 1;
    s.editName = name;
    s.editCategory = QStringLiteral("ツール");
    s.editExe = QStringLiteral("/soft/") + s.editFolder + QStringLiteral("/run.exe");
    s.editDescription = QStringLiteral("説明, ") + name;
}

}  // namespace

class CatalogueOperationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<CatalogueFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void registeredAndSavedByteForByte();
    void sequentialRegistrationCancelledAtSecond();
    void sequentialRegistrationNextActsLikeOk();
    void sequentialRegistrationWithNothingToDo();
    void editSteppingStopsAtBothEnds_data();
    void editSteppingStopsAtBothEnds();
    void editCancelledStillMarksChanged();
    void deleteAnsweredYes_data();
    void deleteAnsweredYes();
    void deleteAnsweredNo_data();
    void deleteAnsweredNo();
    void deleteRefusesFolderTextThatIsNotAName();
    void moveIntoPreparedWorkingFolder();
    void moveIntoOtherFolder();
    void moveCancelledKeepsRow();
    void launchAndOpen();
    void launchFailureIsReported();
    void placeholderExeNeverStartsAFileOfThatName();
    void operationsActOnTheRowShown_data();
    void operationsActOnTheRowShown();
    void sequentialRegistrationFollowsTheOrderShown();
    void byteNamesThroughTheService_data();
    void byteNamesThroughTheService();
    void listChangedOnDiskAsksBeforeSaving_data();
    void listChangedOnDiskAsksBeforeSaving();
    void unfinishedMoveIsReportedAtOpening();

private:
    CatalogueWindow* openWith(const QStringList& folders, const QByteArray& list);
    std::unique_ptr<CatalogueFixture> m_fixture;
};

CatalogueWindow* CatalogueOperationsTest::openWith(const QStringList& folders,
                                                   const QByteArray& list) {
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", folders), &list);
    return m_fixture->open();
}

void CatalogueOperationsTest::registeredAndSavedByteForByte() {
    m_fixture->registration.answer = [](int) { registerAs(QStringLiteral("Editor \"Pro\"")); };
    CatalogueWindow* window =
        openWith({"editor", "viewer"}, "1,Viewer,viewer,表示,/v.exe,見る\r\n");
    QVERIFY(!window->listChanged());
    click("Command7");
    QCOMPARE(m_fixture->registration.shownFolders, QStringList{"editor"});
    QCOMPARE(m_fixture->env->prompt.texts(), QStringList{"全て登録されました。"});
    QVERIFY(window->listChanged());
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QCOMPARE(
        test::TestEnvironment::readFile(m_fixture->listFile()),
        QString("1,Editor \"Pro\",editor,ツール,/soft/editor/run.exe,\"説明, Editor ''Pro''\"\r\n"
                "1,Viewer,viewer,表示,/v.exe,見る\r\n")
            .toUtf8());
    QVERIFY(test::waitFor([this] { return m_fixture->shown.contains(WindowKind::Links); }));
}

void CatalogueOperationsTest::sequentialRegistrationCancelledAtSecond() {
    m_fixture->registration.answer = [](int call) {
        if (call == 1) {
            state().editResult = 1;
        } else {
            registerAs(QStringLiteral("First"));
        }
    };
    openWith({"a", "b", "c"}, "");
    click("Command7");
    QCOMPARE(m_fixture->registration.shownFolders, (QStringList{"a", "b"}));
    QCOMPARE(CatalogueFixture::rows(),
             (QStringList{"1,First,a,ツール,/soft/a/run.exe,\"説明, First\"",
                          "2,b,b,未設定,不明,未設定", "2,c,c,未設定,不明,未設定"}));
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
    QVERIFY(CatalogueFixture::window()->listChanged());
}

void CatalogueOperationsTest::sequentialRegistrationNextActsLikeOk() {
    // ">>>" saves and goes on with the next unregistered row, not the next row; a row left
    // unregistered is not offered again.
    m_fixture->registration.answer = [](int call) {
        if (call == 0) {
            state().editName = QStringLiteral("still unregistered");
        } else {
            registerAs(QStringLiteral("Second"));
        }
        state().editResult = 2;
    };
    openWith({"a", "b", "c", "d"}, "1,B,b,k,e,x\r\n0,C,c,k,e,x\r\n");
    click("Command7");
    QCOMPARE(m_fixture->registration.shownFolders, (QStringList{"a", "d"}));
    QCOMPARE(CatalogueFixture::rows(),
             (QStringList{"2,still unregistered,a,未設定,不明,未設定", "1,B,b,k,e,x", "0,C,c,k,e,x",
                          "1,Second,d,ツール,/soft/d/run.exe,\"説明, Second\""}));
    // A row left unregistered is no success: the message says how many and which.
    QCOMPARE(m_fixture->env->prompt.texts(),
             QStringList{"1 件が未設定のままです：\nstill unregistered"});
}

void CatalogueOperationsTest::sequentialRegistrationWithNothingToDo() {
    CatalogueWindow* window = openWith({"a", "b"}, "1,A,a,k,e,x\r\n0,B,b,k,e,y\r\n");
    const QStringList before = CatalogueFixture::rows();
    click("Command7");
    QVERIFY(m_fixture->registration.shownFolders.isEmpty());
    QCOMPARE(m_fixture->env->prompt.texts(), QStringList{"追加はありませんでした。"});
    QCOMPARE(CatalogueFixture::rows(), before);
    QVERIFY(!window->listChanged());
}

void CatalogueOperationsTest::editSteppingStopsAtBothEnds_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("next on the last row") << 2 << QList<int>{2} << QStringList{"c"};
    QTest::newRow("previous on the first row") << 0 << QList<int>{3} << QStringList{"a"};
    QTest::newRow("next past the end") << 0 << QList<int>{2, 2, 2} << QStringList{"a", "b", "c"};
    QTest::newRow("back and forth")
        << 1 << QList<int>{3, 2, 2, 0} << QStringList{"b", "a", "b", "c"};
    QTest::newRow("cancel stops") << 0 << QList<int>{2, 1} << QStringList{"a", "b"};
}

void CatalogueOperationsTest::editSteppingStopsAtBothEnds() {
    QFETCH(int, start);
    QFETCH(QList<int>, results);
    QFETCH(QStringList, shown);
    m_fixture->registration.answer = [results](int call) {
        state().editName = state().editName + QStringLiteral("+");
        state().editResult = static_cast<qint16>(call < results.size() ? results.at(call) : 1);
    };
    openWith({"a", "b", "c"}, "");
    CatalogueFixture::select(start);
    CatalogueFixture::window()->findChild<QAction*>("mnuUd")->trigger();
    QCOMPARE(m_fixture->registration.shownFolders, shown);
    // Every row shown was saved except one that was cancelled.
    QStringList names;
    for (const CatalogueEntry& entry : CatalogueFixture::model()->entries()) {
        names.append(entry.name);
    }
    QStringList expected{"a", "b", "c"};
    for (int i = 0; i < shown.size(); ++i) {
        if (results.value(i, 1) != 1) {
            const int row = shown[i].at(0).unicode() - 'a';
            expected[row] += "+";
        }
    }
    QCOMPARE(names, expected);
    QCOMPARE(CatalogueFixture::listView()->currentIndex().row(),
             shown.last().at(0).unicode() - 'a');
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
}

void CatalogueOperationsTest::editCancelledStillMarksChanged() {
    m_fixture->registration.answer = [](int) {
        state().editName = QStringLiteral("ignored");
        state().editResult = 1;
    };
    CatalogueWindow* window = openWith({"a"}, "");
    CatalogueFixture::select(0);
    click("Command8");
    QCOMPARE(CatalogueFixture::rows(), QStringList{"2,a,a,未設定,不明,未設定"});
    QVERIFY(window->listChanged());
    m_fixture->env->prompt.answers = {AnswerNo};
    CatalogueFixture::closeWindow();
    QCOMPARE(m_fixture->env->prompt.messages.size(), 1);
}

void CatalogueOperationsTest::deleteAnsweredYes_data() {
    QTest::addColumn<QList<int>>("answers");  // the button chosen, then Yes/No answers
    QTest::addColumn<bool>("trashRefused");
    QTest::newRow("to the trash") << QList<int>{0} << false;
    QTest::newRow("for good") << QList<int>{1, AnswerYes} << false;
    QTest::newRow("no trash there, then for good") << QList<int>{0, AnswerYes} << true;
}

void CatalogueOperationsTest::deleteAnsweredYes() {
    QFETCH(QList<int>, answers);
    QFETCH(bool, trashRefused);
    test::FakeFileSystem files;
    files.refuse(test::FakeFileSystem::Trash, [&](const QString&) { return trashRefused; });
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b c"});
    m_fixture->env->writeFile("w/b c/inside/file.txt", "x");
    const QByteArray list("1,B,b c,k,e,x\r\n");
    m_fixture->useWorkFolder(work, &list);
    CatalogueWindow* window = m_fixture->open();
    CatalogueFixture::select(1);
    m_fixture->env->prompt.choices = {answers.takeFirst()};
    m_fixture->env->prompt.answers = answers;
    click("Command13");
    const auto& messages = m_fixture->env->prompt.messages;
    QCOMPARE(messages.size(), 1 + answers.size());
    QCOMPARE(messages[0].text,
             work +
                 "/b c フォルダを削除します。\n"
                 "セットアップ、インストールされたソフトを消すと、システムに影響が出る場合があり"
                 "ます。アンインストールの指示があればReadme.txt等のドキュメントに従ってください。"
                 "\n削除しますか？");
    QCOMPARE(messages[0].defaultButton, 0);  // the trash
    QCOMPARE(messages[0].title, QString());
    if (!answers.isEmpty()) {
        QCOMPARE(messages[1].flags & (MsgYesNo | MsgDefaultNo), MsgYesNo | MsgDefaultNo);
    }
    QVERIFY(!QFileInfo::exists(work + "/b c"));
    QCOMPARE(CatalogueFixture::rows(), QStringList{"2,a,a,未設定,不明,未設定"});
    QVERIFY(window->listChanged());
    QVERIFY(QFileInfo::exists(work + "/a"));
    // The neighbour is the selected entry now, so the next action has one to act on.
    QCOMPARE(CatalogueFixture::listView()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(CatalogueFixture::listView()->currentIndex().row(), 0);
}

void CatalogueOperationsTest::deleteAnsweredNo_data() {
    QTest::addColumn<QList<int>>("answers");  // the button chosen, then Yes/No answers
    QTest::addColumn<bool>("trashRefused");
    QTest::newRow("cancelled") << QList<int>{2} << false;
    QTest::newRow("for good, then No") << QList<int>{1, AnswerNo} << false;
    QTest::newRow("no trash there, then No") << QList<int>{0, AnswerNo} << true;
}

void CatalogueOperationsTest::deleteAnsweredNo() {
    QFETCH(QList<int>, answers);
    QFETCH(bool, trashRefused);
    test::FakeFileSystem files;
    files.refuse(test::FakeFileSystem::Trash, [&](const QString&) { return trashRefused; });
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b"});
    m_fixture->useWorkFolder(work);
    CatalogueWindow* window = m_fixture->open();
    CatalogueFixture::select(0);
    m_fixture->env->prompt.choices = {answers.takeFirst()};
    m_fixture->env->prompt.answers = answers;
    window->findChild<QAction*>("mnuDel")->trigger();
    // Nothing is said after the questions.
    QCOMPARE(m_fixture->env->prompt.messages.size(), 1 + answers.size());
    QVERIFY(QFileInfo::exists(work + "/a"));
    QCOMPARE(CatalogueFixture::model()->rowCount(), 2);
    QVERIFY(!window->listChanged());
}

void CatalogueOperationsTest::deleteRefusesFolderTextThatIsNotAName() {
    // A registration that emptied the folder text must not turn a deletion into one of the
    // whole working folder.
    m_fixture->registration.answer = [](int) { state().editFolder = QString(); };
    const QString work = m_fixture->makeWorkFolder("w", {"a"});
    m_fixture->useWorkFolder(work);
    m_fixture->open();
    CatalogueFixture::select(0);
    click("Command8");
    QCOMPARE(CatalogueFixture::model()->entry(0).folder, QString());
    m_fixture->env->prompt.choices = {1};
    m_fixture->env->prompt.answers = {AnswerYes};
    click("Command13");
    QCOMPARE(m_fixture->env->prompt.messages.size(), 1);
    QCOMPARE(m_fixture->env->prompt.messages[0].flags, int(MsgExclamation));
    QCOMPARE(m_fixture->env->prompt.choices.size(), 1);  // no question was asked
    QVERIFY(QFileInfo::exists(work + "/a"));
    click("Command1");
    QCOMPARE(m_fixture->moveShows, 0);
}

void CatalogueOperationsTest::moveIntoPreparedWorkingFolder() {
    const QString other = m_fixture->makeWorkFolder("other", {});
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b"});
    const QByteArray list("1,A,a,k,e,x\r\n1,B,b,k,e,y\r\n");
    m_fixture->useWorkFolder(work, &list);
    m_fixture->moveScript = [other] {
        ProgramState& s = state();
        QVERIFY(QDir().rename(s.moveSource, other + "/b"));
        s.moveTarget = other;
        s.newFolderPending = true;
    };
    m_fixture->open();
    CatalogueFixture::select(1);
    m_fixture->env->prompt.answers = {AnswerYes};
    click("Command1");
    QCOMPARE(m_fixture->moveShows, 1);
    // The catalogue closes on its next activation, saving the list; the link window takes over.
    QVERIFY(
        test::waitFor([] { return !WindowRegistry::instance().isLoaded(WindowKind::Catalogue); }));
    QVERIFY(test::waitFor([this] { return m_fixture->shown.contains(WindowKind::Links); }));
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()), QByteArray("1,A,a,k,e,x\r\n"));
    QCOMPARE(state().moveTarget, other);
    QVERIFY(!state().newFolderPending);
    QCOMPARE(m_fixture->env->endCount, 0);
    // The move succeeded: nothing says that nothing was added.
    QVERIFY(!m_fixture->env->prompt.texts().contains("追加はありませんでした。"));
}

void CatalogueOperationsTest::moveIntoOtherFolder() {
    const QString elsewhere = m_fixture->env->makeFolder("elsewhere");
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b", "c"});
    const QByteArray list("1,A,a,k,e,x\r\n");
    m_fixture->useWorkFolder(work, &list);
    m_fixture->moveScript = [elsewhere] {
        ProgramState& s = state();
        QVERIFY(QDir().rename(s.moveSource, elsewhere + "/b"));
        s.moveTarget = QStringLiteral("E");
        s.newFolderPending = true;
    };
    m_fixture->registration.answer = [](int) { registerAs(QStringLiteral("C")); };
    CatalogueWindow* window = m_fixture->open();
    CatalogueFixture::select(1);
    window->findChild<QAction*>("mnuMove")->trigger();
    QVERIFY(state().moveTarget.isEmpty());
    // The next activation runs sequential registration over what is left.
    QVERIFY(test::waitFor([this] { return !m_fixture->registration.shownFolders.isEmpty(); }));
    QCOMPARE(m_fixture->registration.shownFolders, QStringList{"c"});
    QVERIFY(!state().newFolderPending);
    QVERIFY(WindowRegistry::instance().isLoaded(WindowKind::Catalogue));
    QCOMPARE(CatalogueFixture::rows(),
             (QStringList{"1,A,a,k,e,x", "1,C,c,ツール,/soft/c/run.exe,\"説明, C\""}));
    QVERIFY(window->listChanged());
}

void CatalogueOperationsTest::moveCancelledKeepsRow() {
    m_fixture->moveScript = [] { state().moveSource.clear(); };
    CatalogueWindow* window = openWith({"a", "b"}, "");
    CatalogueFixture::select(0);
    click("Command1");
    QCOMPARE(m_fixture->moveShows, 1);
    QCOMPARE(CatalogueFixture::model()->rowCount(), 2);
    QVERIFY(!window->listChanged());
}

void CatalogueOperationsTest::launchAndOpen() {
    const QString work = m_fixture->makeWorkFolder("w", {"my tool", "b", "c"});
    const QString exe = m_fixture->env->writeFile("w/my tool/the tool.exe", "MZ");
    const QString otherCase = m_fixture->env->writeFile("w/c/run.exe", "MZ");
    const QByteArray list =
        QString("1,T,my tool,k,%1,x\r\n1,C,c,k,%2/c/RUN.EXE,x\r\n").arg(exe, work).toUtf8();
    m_fixture->useWorkFolder(work, &list);
    m_fixture->open();
    auto& launcher = m_fixture->env->launcher;
    CatalogueFixture::select(2);
    click("Command10");
    QCOMPARE(launcher.started.size(), 1);
    QCOMPARE(launcher.started[0].program, exe);
    QVERIFY(launcher.started[0].arguments.isEmpty());
    QVERIFY(launcher.started[0].workingDirectory.isEmpty());
    CatalogueFixture::window()->findChild<QAction*>("mnuOpen")->trigger();
    QCOMPARE(launcher.openedFolders, QStringList{work + "/my tool"});
    // An unregistered entry ("不明") starts nothing and says nothing.
    CatalogueFixture::select(0);
    CatalogueFixture::window()->findChild<QAction*>("mnuKidou")->trigger();
    QCOMPARE(launcher.started.size(), 1);
    click("Command11");
    QCOMPARE(launcher.openedFolders.size(), 2);
    // A program stored in another letter case starts by the name it has on disk.
    CatalogueFixture::select(1);
    click("Command10");
    QCOMPARE(launcher.started.size(), 2);
    QCOMPARE(launcher.started[1].program, otherCase);
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
}

void CatalogueOperationsTest::launchFailureIsReported() {
    const QString work = m_fixture->makeWorkFolder("w", {"a"});
    const QString exe = m_fixture->env->writeFile("w/a/run.exe", "MZ");
    const QByteArray list = QString("1,A,a,k,%1,x\r\n").arg(exe).toUtf8();
    m_fixture->useWorkFolder(work, &list);
    m_fixture->open();
    m_fixture->env->launcher.startSucceeds = false;
    CatalogueFixture::select(0);
    click("Command10");
    QCOMPARE(m_fixture->env->prompt.messages.size(), 1);
    QVERIFY(m_fixture->env->prompt.messages[0].text.contains(exe));
    QCOMPARE(m_fixture->env->prompt.messages[0].flags, int(MsgExclamation));
}

void CatalogueOperationsTest::placeholderExeNeverStartsAFileOfThatName() {
    // A file that happens to be called like the placeholder, in the current folder.
    const QString previous = QDir::currentPath();
    m_fixture->env->writeFile("cwd/不明", "x");
    QVERIFY(QDir::setCurrent(m_fixture->env->root() + "/cwd"));
    openWith({"a"}, "1,A,a,k,不明,x\r\n");
    click("Command10");
    QDir::setCurrent(previous);
    QVERIFY(m_fixture->env->launcher.started.isEmpty());
    QCOMPARE(CatalogueFixture::model()->entry(0).state, qint16(1));
}

void CatalogueOperationsTest::operationsActOnTheRowShown_data() {
    // How the operation is asked for: a button, a key on the list, or a context menu entry.
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("acted");  // "started", "deleted", "edited"
    QTest::newRow("起動 button") << "Command10"
                                 << "started";
    QTest::newRow("Enter") << "key Return"
                           << "started";
    QTest::newRow("削除 button") << "Command13"
                                 << "deleted";
    QTest::newRow("Delete") << "key Delete"
                            << "deleted";
    QTest::newRow("context menu delete") << "rowDelete"
                                         << "deleted";
    QTest::newRow("F2") << "key F2"
                        << "edited";
    QTest::newRow("context menu edit") << "rowEdit"
                                       << "edited";
}

void CatalogueOperationsTest::operationsActOnTheRowShown() {
    QFETCH(QString, how);
    QFETCH(QString, acted);
    // Filtered to the "ツール" programs and sorted by name, descending: "mtool" (list row 2)
    // is shown second, and it is the one acted on.
    const QStringList folders{"atool", "game", "ztool", "mtool"};
    const QString work = m_fixture->makeWorkFolder("w", folders);
    QByteArray list;
    for (const QString& folder : folders) {
        const QString exe = m_fixture->env->writeFile("w/" + folder + "/run.exe", "MZ");
        const QString category = folder == "game" ? "ゲーム" : "ツール";
        list += QString("1,%1,%1,%2,%3,x\r\n").arg(folder, category, exe).toUtf8();
    }
    m_fixture->useWorkFolder(work, &list);
    CatalogueWindow* window = m_fixture->open();
    window->show();
    window->findChild<QLineEdit*>("filterBox")->setText("ﾂｰﾙ");
    auto* header = qobject_cast<QTreeView*>(CatalogueFixture::listView())->header();
    Q_EMIT header->sectionClicked(0);
    Q_EMIT header->sectionClicked(0);
    QAbstractItemView* view = CatalogueFixture::listView();
    view->setCurrentIndex(view->model()->index(1, 0));
    QCOMPARE(window->findChild<QLabel*>("rowCount")->text(), "3 / 4 件");

    m_fixture->env->prompt.choices = {1};  // a deletion deletes for good
    m_fixture->env->prompt.answers = {AnswerYes};
    if (how.startsWith("key ")) {
        view->setFocus();
        const QKeySequence key(how.mid(4));
        QTest::keyClick(view, Qt::Key(key[0].key()));
    } else if (how.startsWith("row")) {
        view->findChild<QAction*>(how)->trigger();
    } else {
        click(qPrintable(how));
    }
    QStringList done;
    for (const test::StartedProgram& started : m_fixture->env->launcher.started) {
        done << "started " + started.program;
    }
    for (const QString& folder : folders) {
        if (!QFileInfo::exists(work + "/" + folder)) {
            done << "deleted " + work + "/" + folder;
        }
    }
    for (const QString& folder : m_fixture->registration.shownFolders) {
        done << "edited " + work + "/" + folder;
    }
    const QString expected = acted + " " + work + "/mtool" + (acted == "started" ? "/run.exe" : "");
    QCOMPARE(done, QStringList{expected});
}

void CatalogueOperationsTest::sequentialRegistrationFollowsTheOrderShown() {
    CatalogueWindow* window = openWith({"a", "b", "c", "d"}, "0,B,b,k,e,x\r\n");
    auto* header = qobject_cast<QTreeView*>(CatalogueFixture::listView())->header();
    Q_EMIT header->sectionClicked(1);
    Q_EMIT header->sectionClicked(1);
    // ">>>" in an edit steps down the list as shown, too.
    m_fixture->registration.answer = [](int call) { state().editResult = call == 0 ? 1 : 0; };
    click("Command7");
    m_fixture->registration.answer = [](int call) { state().editResult = call < 3 ? 2 : 1; };
    CatalogueFixture::select(3);
    window->editSelected();
    QCOMPARE(m_fixture->registration.shownFolders, (QStringList{"d", "d", "c", "b"}));
}

void CatalogueOperationsTest::byteNamesThroughTheService_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("utf-8") << QByteArray("ソフト");
    QTest::newRow("shift-jis") << QByteArray("\x83\x5c\x83\x74\x83\x67 \x82\xa0");
    QTest::newRow("escape characters as utf-8") << QByteArray("\xee\xbe\x80x\xee\xbf\xbf");
    QTest::newRow("line ends") << QByteArray("one\r\ntwo\nthree");
    QTest::newRow("leading quote") << QByteArray("\"quoted");
    QTest::newRow("comma and quote") << QByteArray("a, \"b\"");
    QTest::newRow("leading dash") << QByteArray("-rf");
}

void CatalogueOperationsTest::byteNamesThroughTheService() {
    // One folder whose name has these bytes, with a program of the same name in it: the service
    // keeps its record over a save and a reload, starts the exact program, and keeps row and
    // record when the deletion is refused.
    QFETCH(QByteArray, name);
    const QString work = m_fixture->makeWorkFolder("w", {"plain"});
    const std::filesystem::path folder = fsPath(work) / name.toStdString();
    QVERIFY(std::filesystem::create_directory(folder));
    QVERIFY(std::ofstream(folder / name.toStdString()).put('x'));
    m_fixture->useWorkFolder(work);
    CatalogueModel model;
    CatalogueService service(model);
    service.setFolders(work, state().listFolder);
    EventPump pump;
    service.load(pump);
    const int row = model.findRowByFolder(textFromNameBytes(name));
    QVERIFY(row >= 0);
    CatalogueEntry entry = model.entry(row);
    entry.state = 1;
    entry.name = QStringLiteral("Tool");
    entry.exe = pathText(folder / name.toStdString());
    model.setEntry(row, entry);
    service.markChanged();
    m_fixture->env->prompt.answers = {AnswerYes, AnswerYes, AnswerYes};
    QCOMPARE(service.save(), CatalogueService::SaveOutcome::Saved);

    CatalogueModel reloaded;
    CatalogueService again(reloaded);
    again.setFolders(work, state().listFolder);
    again.load(pump);
    QCOMPARE(reloaded.entries(), model.entries());
    again.launchRow(row);
    QCOMPARE(m_fixture->env->launcher.started.size(), 1);
    QCOMPARE(fsPath(m_fixture->env->launcher.started[0].program), folder / name.toStdString());

    test::FakeFileSystem refusing;
    refusing.refuse(test::FakeFileSystem::RemoveTree, [](const QString&) { return true; });
    m_fixture->env->prompt.choices = {1};
    QVERIFY(!again.deleteRow(row));
    QVERIFY(std::filesystem::exists(folder));
    QCOMPARE(reloaded.entries(), model.entries());
    QCOMPARE(again.save(), CatalogueService::SaveOutcome::Saved);
    CatalogueModel third;
    CatalogueService last(third);
    last.setFolders(work, state().listFolder);
    last.load(pump);
    QCOMPARE(third.entries(), model.entries());
}

void CatalogueOperationsTest::listChangedOnDiskAsksBeforeSaving_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("expected");  // list file | its copy | rows afterwards
    // Another program writes "index (2).qmx" between the choice of that name and the write.
    QTest::addColumn<bool>("raced");
    QTest::newRow("reload") << 0 << "Theirs||Theirs" << false;
    QTest::newRow("overwrite") << 1 << "Ours||Ours" << false;
    QTest::newRow("keep both") << 2 << "Theirs|Ours|Ours" << false;
    QTest::newRow("keep both, the copy's name taken meanwhile") << 2 << "Theirs|Other|Ours" << true;
    QTest::newRow("list gone meanwhile: nothing to ask") << -1 << "Ours||Ours" << false;
}

void CatalogueOperationsTest::listChangedOnDiskAsksBeforeSaving() {
    // A second instance saved the same list after this one loaded it.
    QFETCH(int, choice);
    QFETCH(QString, expected);
    QFETCH(bool, raced);
    const QByteArray list("1,Mine,a,k,e,x\r\n");
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a"}), &list);
    CatalogueModel model;
    CatalogueService service(model);
    service.setFolders(state().workFolder, state().listFolder);
    EventPump pump;
    service.load(pump);
    if (choice < 0) {
        QVERIFY(QFile::remove(m_fixture->listFile()));
    } else {
        QVERIFY(std::ofstream(fsPath(m_fixture->listFile())) << "1,Theirs,a,k,e,x\r\n");
    }
    CatalogueEntry entry = model.entry(0);
    entry.name = QStringLiteral("Ours");
    model.setEntry(0, entry);
    service.markChanged();
    m_fixture->env->prompt.answers = {AnswerYes};
    if (choice >= 0) {
        m_fixture->env->prompt.choices = {choice};
    }
    const QString copy = state().listFolder + "/index (2).qmx";
    test::FakeFileSystem files;
    files.refuse(test::FakeFileSystem::Write, [&](const QString& path) {
        if (raced && path == copy && !QFile::exists(copy)) {
            std::ofstream(fsPath(copy)) << "1,Other,a,k,e,x\r\n";
        }
        return false;
    });
    service.save();
    const auto nameIn = [](const QString& path) {
        return QString::fromUtf8(test::TestEnvironment::readFile(path)).section(u',', 1, 1);
    };
    QCOMPARE(
        QStringList({nameIn(m_fixture->listFile()), nameIn(copy), model.entry(0).name}).join(u'|'),
        expected);
    if (raced) {
        QCOMPARE(nameIn(state().listFolder + "/index (3).qmx"), QStringLiteral("Ours"));
    }
    QCOMPARE(m_fixture->env->prompt.unexpectedQuestions, 0);
}

void CatalogueOperationsTest::unfinishedMoveIsReportedAtOpening() {
    // A move killed midway left its mark in the folder it was moving into.
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a", "b"}));
    m_fixture->env->writeFile("w/b/.qm-move-unfinished", "/elsewhere/b");
    m_fixture->open();
    // Looked for while the window waits for the user.
    QTRY_VERIFY2(m_fixture->env->prompt.texts().join(u'\n').contains(state().workFolder +
                                                                     "/b（移動元: /elsewhere/b）"),
                 qPrintable(m_fixture->env->prompt.texts().join(u'\n')));
    QCOMPARE(m_fixture->env->prompt.texts().size(), 1);
}

QTEST_MAIN(CatalogueOperationsTest)
#include "tst_catalogueoperations.moc"
