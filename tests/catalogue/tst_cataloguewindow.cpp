#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "app/elidinglabel.h"
#include "catalogue/columnwidths.h"
#include "cataloguefixture.h"
#include "platform/programicon.h"
#include "support/testpe.h"

using namespace qm;
using qm::test::CatalogueFixture;

namespace {

QWidget* control(const char* name) {
    return CatalogueFixture::window()->findChild<QWidget*>(QLatin1String(name));
}

QAction* action(const char* name) {
    return CatalogueFixture::window()->findChild<QAction*>(QLatin1String(name));
}

// Twips to pixels worked out here rather than by the conversion under test: 1440 twips to the
// inch at the window's logical dpi.
QRect twipsRect(int left, int top, int width, int height) {
    const double scale = CatalogueFixture::window()->logicalDpiX() / 1440.0;
    const auto px = [scale](int twips) { return qRound(twips * scale); };
    return QRect(px(left), px(top), px(width), px(height));
}

}  // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { m_fixture.reset(); }

    void controlsAndTexts_data();
    void controlsAndTexts();
    void menus_data();
    void menus();
    void normalLayout();
    void compactLayoutFromStoreAndBack_data();
    void compactLayoutFromStoreAndBack();
    void splashShownWhileLoading();
    void resizingKeepsControlsInside_data();
    void resizingKeepsControlsInside();
    void sizeAndColumnWidthsAreRemembered();
    void columnsFitTheList_data();
    void columnsFitTheList();
    void rowsMeasuredForTheColumns_data();
    void rowsMeasuredForTheColumns();
    void filterBarKeysAndTabOrder();
    void otherWindowsWaitWhileTheListLoads();

    void registrationAtStartRunsOnce();
    void registrationAtStartOffForOddValue();
    void installedFolderIsEditedFirst();
    void installedFolderMissingOpensNothing();
    void pendingMoveRunsSequentialRegistration();
    void moveTargetClosesWindow();

    void previewShowsReadmeAndTextFiles();
    void previewOfMissingFolder();
    void columnSortIsStable();
    void menuButtonHandsOverToMainMenu();
    void iconRefreshKeepsExcludedAndUnregistered();
    void iconsOffScreenArriveWhileIdle();
    void inPlaceNameEdit();
    void doubleClickEditsRow();
    void iconShownRightAfterRegistering();
    void installerMenuHandsOver();

private:
    CatalogueWindow* openWith(const QStringList& folders, const QByteArray& list);
    std::unique_ptr<CatalogueFixture> m_fixture;
};

void CatalogueWindowTest::init() {
    m_fixture = std::make_unique<CatalogueFixture>();
}

CatalogueWindow* CatalogueWindowTest::openWith(const QStringList& folders, const QByteArray& list) {
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", folders), &list);
    return m_fixture->open();
}

void CatalogueWindowTest::controlsAndTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("visible");
    QTest::newRow("Label1") << "Label1"
                            << "フォルダリスト　-　こちらにフォルダの情報が表示されます。"
                            << "" << true;
    QTest::newRow("Label2") << "Label2"
                            << "項目をダブルクリックすると情報が変更されます。"
                            << "" << true;
    QTest::newRow("Label3") << "Label3"
                            << "- 未登録（情報が登録されていません。）"
                            << "" << true;
    QTest::newRow("Label4") << "Label4"
                            << "- 登録済（登録されています。）"
                            << "" << true;
    QTest::newRow("Label5") << "Label5"
                            << "印なし- 対象外（検索対象外とされています。）"
                            << "" << true;
    QTest::newRow("Label6") << "Label6"
                            << "フォルダ内のReadme.txt やその他の TXT ファイルを表示します"
                            << "" << true;
    QTest::newRow("Label7")
        << "Label7"
        << "↑まず。順次登録を押してください。ボタンにマウスを置くと説明が出ます。"
        << "" << true;
    QTest::newRow("Command12") << "Command12"
                               << "メニューに戻る"
                               << "メインメニューに戻ります。" << true;
    QTest::newRow("Command7") << "Command7"
                              << "順次登録"
                              << "こちらをクリックすると、未登録の情報を要求するダイアログが順次出"
                                 "現し、情報をすべて登録できます。"
                              << true;
    QTest::newRow("Command10") << "Command10"
                               << "起 動"
                               << "リスト選択中の登録されたEXEを起動します。" << true;
    QTest::newRow("Command11") << "Command11"
                               << "開 く"
                               << "リストで選択されたフォルダを開きます。" << true;
    QTest::newRow("Command1") << "Command1"
                              << "移 動"
                              << "選択フォルダとリスト項目を移動します。" << true;
    QTest::newRow("Command13") << "Command13"
                               << "削 除"
                               << "選択フォルダとリスト項目を削除します。" << true;
    QTest::newRow("Command3") << "Command3"
                              << "load dir"
                              << "" << false;
    QTest::newRow("Command4") << "Command4"
                              << "save list"
                              << "" << false;
    QTest::newRow("Command8") << "Command8"
                              << "登録情報の変更"
                              << "ファイルの設定情報が表示され、変更できます。" << false;
    QTest::newRow("Command9") << "Command9"
                              << "アイコン更新"
                              << "" << false;
    QTest::newRow("File2") << "File2"
                           << ""
                           << "フォルダ内のテキストファイルを表示しています。こちらをクリックする"
                              "と、右にその内容が表示されます。"
                           << true;
    QTest::newRow("Text1") << "Text1"
                           << "Readme.txt がありません。"
                           << "" << true;
}

void CatalogueWindowTest::controlsAndTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(bool, visible);
    openWith({}, "");
    QWidget* widget = control(name.toLatin1().constData());
    QVERIFY2(widget, qPrintable(name));
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
        // A text cut short in its place shows whole as the tool tip.
        if (auto* eliding = qobject_cast<ElidingLabel*>(widget); eliding && eliding->isElided()) {
            tip = text;
        }
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        QCOMPARE(edit->toPlainText(), text);
    }
    QCOMPARE(widget->toolTip(), tip);
    QCOMPARE(widget->isVisible(), visible);
}

void CatalogueWindowTest::menus_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("mnuFile") << "mnuFile"
                             << "ファイル(&F)";
    QTest::newRow("mnuMnu") << "mnuMnu"
                            << "メニューに戻る";
    QTest::newRow("mnuExit") << "mnuExit"
                             << "終了";
    QTest::newRow("mnuListP") << "mnuListP"
                              << "リスト編集(&P)";
    QTest::newRow("mnuUd") << "mnuUd"
                           << "選択された登録情報を変更する";
    QTest::newRow("mnuAdd") << "mnuAdd"
                            << "リストにインストール追加";
    QTest::newRow("mnuDel") << "mnuDel"
                            << "リストからアンインストール削除";
    QTest::newRow("mnuKidou") << "mnuKidou"
                              << "選択されたEXEを起動";
    QTest::newRow("mnuOpen") << "mnuOpen"
                             << "選択されたフォルダを開く";
    QTest::newRow("mnuMove") << "mnuMove"
                             << "選択されたフォルダを移動";
    QTest::newRow("mnuSetting") << "mnuSetting"
                                << "設定(&S)";
    QTest::newRow("mnuComm") << "mnuComm"
                             << "説明を消す";
    QTest::newRow("mnuAA") << "mnuAA"
                           << "起動時に順次登録を行う";
}

void CatalogueWindowTest::menus() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    openWith({}, "");
    QAction* found = action(name.toLatin1().constData());
    QVERIFY2(found, qPrintable(name));
    QCOMPARE(found->text(), text);
    QVERIFY(action("mnuLine1")->isSeparator());
    QVERIFY(action("mnuLine2")->isSeparator());
}

void CatalogueWindowTest::normalLayout() {
    openWith({"a"}, "");
    CatalogueWindow* window = CatalogueFixture::window();
    QVERIFY(!window->compactLayout());
    QCOMPARE(control("client")->size(), twipsRect(0, 0, 7830, 6375).size());
    const struct {
        const char* name;
        QRect rect;
    } expected[] = {
        {"Label1", twipsRect(240, 120, 5460, 240)},
        {"Command12", twipsRect(5760, 120, 1935, 255)},
        {"Label2", twipsRect(1680, 360, 4020, 240)},
        {"Command7", twipsRect(5760, 480, 1935, 375)},
        {"Image1", twipsRect(1920, 600, 240, 240)},
        {"Label3", twipsRect(2160, 630, 3540, 240)},
        {"Image2", twipsRect(1920, 840, 240, 240)},
        {"Label4", twipsRect(2160, 870, 3375, 255)},
        {"Label7", twipsRect(5760, 870, 1935, 555)},
        {"Label5", twipsRect(1680, 1125, 4020, 255)},
        {"ListView1", twipsRect(120, 1440, 7575, 2655)},
        {"Picture1", twipsRect(240, 4200, 615, 615)},
        {"Label6", twipsRect(1080, 4200, 6615, 240)},
        {"File2", twipsRect(960, 4440, 1335, 1710)},
        {"Text1", twipsRect(2400, 4440, 5295, 1695)},
        {"Command10", twipsRect(120, 4920, 735, 255)},
        {"Command11", twipsRect(120, 5280, 735, 255)},
        {"Command1", twipsRect(120, 5640, 735, 255)},
        {"Command13", twipsRect(120, 6000, 735, 255)},
        {"Picture2", twipsRect(120, 6480, 255, 255)},
    };
    for (const auto& item : expected) {
        QCOMPARE(control(item.name)->geometry(), item.rect);
    }
    // Five columns with the fixed headers, sized to their texts within the list's width.
    auto* view = qobject_cast<QTreeView*>(CatalogueFixture::listView());
    const QStringList headers{"名前", "フォルダ名", "分類", "EXE名", "説明"};
    int total = 0;
    for (int column = 0; column < 5; ++column) {
        QCOMPARE(view->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
        QVERIFY(view->header()->sectionSize(column) >= view->header()->sectionSizeHint(column));
        total += view->header()->sectionSize(column);
    }
    QVERIFY(total <= view->width());
    QCOMPARE(view->model()->columnCount(), 5);
    // The legend shows the two marks.
    QVERIFY(!qobject_cast<QLabel*>(control("Image1"))->pixmap().isNull());
    QVERIFY(!qobject_cast<QLabel*>(control("Image2"))->pixmap().isNull());
}

void CatalogueWindowTest::resizingKeepsControlsInside_data() {
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QSize>("extra");
    QTest::newRow("normal, design size") << false << QSize(0, 0);
    QTest::newRow("normal, larger") << false << QSize(410, 330);
    QTest::newRow("normal, wider only") << false << QSize(700, 0);
    QTest::newRow("compact, design size") << true << QSize(0, 0);
    QTest::newRow("compact, larger") << true << QSize(410, 330);
    QTest::newRow("smaller than designed") << false << QSize(-200, -150);
}

void CatalogueWindowTest::resizingKeepsControlsInside() {
    QFETCH(bool, compact);
    QFETCH(QSize, extra);
    CatalogueFixture::setOption("pmode", compact ? "1" : "0");
    CatalogueWindow* window = openWith({"a", "b"}, "");
    QWidget* client = control("client");
    const QSize design = twipsRect(0, 0, 7830, 6375).size();
    const QRect listBefore = control("ListView1")->geometry();
    const int menuButtonRight = client->width() - control("Command12")->geometry().right();
    const int removeButtonBottom = client->height() - control("Command13")->geometry().bottom();

    window->resize(window->size() + extra);
    QTRY_COMPARE(client->size(), design.expandedTo(design + extra));

    QList<QWidget*> shown;
    for (QWidget* child : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible()) {
            shown.append(child);
        }
    }
    QVERIFY(shown.size() >= 10);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QRect rect = shown[i]->geometry();
        QVERIFY2(client->rect().contains(rect), qPrintable(shown[i]->objectName()));
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            QVERIFY2(!rect.intersects(shown[j]->geometry()),
                     qPrintable(shown[i]->objectName() + " / " + shown[j]->objectName()));
        }
    }
    // The list takes the extra width and most of the extra height; the buttons keep their
    // distance from their edges.
    const QSize gained = client->size() - design;
    QCOMPARE(control("ListView1")->width(), listBefore.width() + gained.width());
    QVERIFY(control("ListView1")->height() >= listBefore.height() + gained.height() / 2);
    QCOMPARE(client->width() - control("Command12")->geometry().right(), menuButtonRight);
    QCOMPARE(client->height() - control("Command13")->geometry().bottom(), removeButtonBottom);
}

void CatalogueWindowTest::sizeAndColumnWidthsAreRemembered() {
    CatalogueWindow* window = openWith({"a"}, "1,A,a,Tools,x,y\r\n");
    const QSize larger = window->size() + QSize(240, 160);
    window->resize(larger);
    auto* view = qobject_cast<QTreeView*>(CatalogueFixture::listView());
    view->header()->resizeSection(3, 333);
    action("mnuExit")->trigger();
    QCOMPARE(CatalogueFixture::option("listwidth"), QString::number(larger.width()));

    window = m_fixture->open();
    QCOMPARE(window->size(), larger);
    view = qobject_cast<QTreeView*>(CatalogueFixture::listView());
    QCOMPARE(view->header()->sectionSize(3), 333);

    // Stored values that make no sense are ignored.
    action("mnuExit")->trigger();
    CatalogueFixture::setOption("listwidth", "-5");
    CatalogueFixture::setOption("listcolumns", "10,x,3");
    window = m_fixture->open();
    QVERIFY(window->size() != larger);
    view = qobject_cast<QTreeView*>(CatalogueFixture::listView());
    QVERIFY(view->header()->sectionSize(3) != 333);
}

void CatalogueWindowTest::columnsFitTheList_data() {
    QTest::addColumn<QList<int>>("wanted");
    QTest::addColumn<int>("available");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("all fit") << QList<int>{50, 80, 40} << 500 << QList<int>{50, 80, 40};
    QTest::newRow("the widest are cut alike")
        << QList<int>{60, 400, 50, 300, 90} << 500 << QList<int>{60, 150, 50, 150, 90};
    QTest::newRow("narrow ones grow to the minimum")
        << QList<int>{10, 20, 30} << 500 << QList<int>{32, 32, 32};
    QTest::newRow("no room: the minimum") << QList<int>{100, 200} << 40 << QList<int>{32, 32};
}

void CatalogueWindowTest::columnsFitTheList() {
    QFETCH(QList<int>, wanted);
    QFETCH(int, available);
    QFETCH(QList<int>, widths);
    QCOMPARE(fitColumnWidths(wanted, available, 32), widths);
}

void CatalogueWindowTest::compactLayoutFromStoreAndBack_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("compact");
    QTest::newRow("one") << "1" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("not a number") << "yes" << false;
    QTest::newRow("two") << "2" << false;
}

void CatalogueWindowTest::compactLayoutFromStoreAndBack() {
    QFETCH(QString, stored);
    QFETCH(bool, compact);
    CatalogueFixture::setOption("pmode", stored);
    openWith({"a"}, "");
    CatalogueWindow* window = CatalogueFixture::window();
    QCOMPARE(window->compactLayout(), compact);
    QCOMPARE(action("mnuComm")->isChecked(), compact);
    const auto checkCompact = [] {
        QCOMPARE(control("ListView1")->geometry(), twipsRect(120, 375, 7575, 3720));
        QCOMPARE(control("Command12")->geometry(), twipsRect(6240, 120, 1455, 255));
        QCOMPARE(control("Command7")->geometry(), twipsRect(4800, 120, 1335, 255));
        // The explanation area is covered by the list; the title gives way to "順次登録".
        QVERIFY(!control("Label7")->isVisible());
        QCOMPARE(control("Label1")->geometry(), twipsRect(240, 120, 4500, 240));
    };
    const auto checkNormal = [] {
        QCOMPARE(control("ListView1")->geometry(), twipsRect(120, 1440, 7575, 2655));
        QCOMPARE(control("Command12")->geometry(), twipsRect(5760, 120, 1935, 255));
        QCOMPARE(control("Command7")->geometry(), twipsRect(5760, 480, 1935, 375));
    };
    if (compact) {
        checkCompact();
    } else {
        checkNormal();
    }
    // The menu toggles the layout; the choice is stored at close.
    action("mnuComm")->trigger();
    QCOMPARE(window->compactLayout(), !compact);
    if (compact) {
        checkNormal();
    } else {
        checkCompact();
    }
    CatalogueFixture::closeWindow();
    QCOMPARE(CatalogueFixture::option("pmode"), compact ? "0" : "1");
    QCOMPARE(CatalogueFixture::option("kmode"), "0");
}

void CatalogueWindowTest::splashShownWhileLoading() {
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a"}));
    WindowRegistry::instance().show(WindowKind::Catalogue);
    // Loading has finished and the first activation has not run yet.
    Form* splash = WindowRegistry::instance().find(WindowKind::Splash);
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    const QStringList texts{"Quillmorn", "小規模ソフトウェアフォルダ簡易管理ソフト",
                            "起動中です・・・　　　リストを作成中"};
    QStringList shown;
    for (const QLabel* label : splash->findChildren<QLabel*>()) {
        shown.append(label->text());
    }
    QCOMPARE(shown, texts);
    QVERIFY(test::waitFor([] { return !WindowRegistry::instance().isLoaded(WindowKind::Splash); }));
    QCOMPARE(CatalogueFixture::window()->windowTitle(),
             "Quillmorn ListView - " + state().workFolder);
}

void CatalogueWindowTest::registrationAtStartRunsOnce() {
    CatalogueFixture::setOption("kmode", "1");
    m_fixture->registration.answer = [](int) { state().editState = 1; };
    CatalogueWindow* window = openWith({"a", "b", "c"}, "0,A,a,c,e,d\r\n");
    QCOMPARE(m_fixture->registration.shownFolders, (QStringList{"b", "c"}));
    QCOMPARE(m_fixture->env->prompt.texts(), QStringList{"全て登録されました。"});
    QVERIFY(action("mnuAA")->isChecked());
    QVERIFY(window->listChanged());
    // A later activation does not start it again, but sets the check mark again.
    action("mnuAA")->trigger();
    QVERIFY(!action("mnuAA")->isChecked());
    window->runActivate();
    QCOMPARE(m_fixture->registration.shownFolders.size(), 2);
    QVERIFY(action("mnuAA")->isChecked());
    action("mnuAA")->trigger();
    m_fixture->env->prompt.answers = {AnswerNo};
    CatalogueFixture::closeWindow();
    QCOMPARE(CatalogueFixture::option("kmode"), "0");
}

void CatalogueWindowTest::registrationAtStartOffForOddValue() {
    CatalogueFixture::setOption("kmode", "on");
    openWith({"a"}, "");
    QVERIFY(m_fixture->registration.shownFolders.isEmpty());
    QVERIFY(!action("mnuAA")->isChecked());
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
}

void CatalogueWindowTest::installedFolderIsEditedFirst() {
    CatalogueFixture::setOption("kmode", "1");
    state().newFolderName = "new";
    state().newFolderPending = true;
    bool splashBehind = true;
    m_fixture->registration.answer = [&splashBehind](int) {
        splashBehind = WindowRegistry::instance().isVisible(WindowKind::Splash);
        state().editName = "New program";
    };
    // Another entry's category that reads like the installed folder is not its row.
    openWith({"a", "new", "z"}, "1,A,a,new,e,d\r\n");
    // Only the installed folder's edit, no sequential registration in that activation.
    QCOMPARE(m_fixture->registration.shownFolders, QStringList{"new"});
    QVERIFY(!splashBehind);
    QVERIFY(state().newFolderName.isEmpty());
    QVERIFY(!state().newFolderPending);
    QCOMPARE(CatalogueFixture::model()->entry(1).name, "New program");
    QCOMPARE(CatalogueFixture::listView()->currentIndex().row(), 1);
    QVERIFY(action("mnuAA")->isChecked());
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
}

void CatalogueWindowTest::installedFolderMissingOpensNothing() {
    state().newFolderName = "elsewhere";
    state().newFolderPending = true;
    CatalogueWindow* window = openWith({"a"}, "");
    QVERIFY(m_fixture->registration.shownFolders.isEmpty());
    QVERIFY(state().newFolderName.isEmpty());
    QVERIFY(!state().newFolderPending);
    QVERIFY(!window->listChanged());
}

void CatalogueWindowTest::pendingMoveRunsSequentialRegistration() {
    state().newFolderPending = true;
    openWith({"a", "b"}, "1,A,a,c,e,d\r\n");
    QCOMPARE(m_fixture->registration.shownFolders, QStringList{"b"});
    QVERIFY(!state().newFolderPending);
    QCOMPARE(m_fixture->env->prompt.texts(), QStringList{"1 件が未設定のままです：\nb"});
}

void CatalogueWindowTest::moveTargetClosesWindow() {
    state().moveTarget = m_fixture->env->root() + "/other";
    m_fixture->useWorkFolder(m_fixture->makeWorkFolder("w", {"a"}));
    // Another window stays open, so only the catalogue's own choice could end the program.
    WindowRegistry::instance().show(WindowKind::MainMenu);
    WindowRegistry::instance().show(WindowKind::Catalogue);
    QVERIFY(
        test::waitFor([] { return !WindowRegistry::instance().isLoaded(WindowKind::Catalogue); }));
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Splash));
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
    QCOMPARE(m_fixture->env->endCount, 0);
}

void CatalogueWindowTest::previewShowsReadmeAndTextFiles() {
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b"});
    m_fixture->env->writeFile("w/a/README.TXT", "read me first");
    m_fixture->env->writeFile("w/a/notes.txt", "notes");
    m_fixture->env->writeFile("w/a/other.dat", "x");
    m_fixture->env->writeFile("w/b/Changes.TXT", "changes");
    m_fixture->useWorkFolder(work);
    m_fixture->open();
    auto* text = qobject_cast<QPlainTextEdit*>(control("Text1"));
    auto* files = qobject_cast<QListWidget*>(control("File2"));
    // The first entry is selected when the list has been built.
    QCOMPARE(CatalogueFixture::listView()->currentIndex().row(), 0);
    QCOMPARE(text->toPlainText(), "read me first");
    QStringList listed;
    for (int i = 0; i < files->count(); ++i) {
        listed.append(files->item(i)->text());
    }
    QCOMPARE(listed, (QStringList{"notes.txt", "README.TXT"}));
    files->setCurrentRow(0);
    Q_EMIT files->itemClicked(files->item(0));
    QCOMPARE(text->toPlainText(), "notes");
    // A click on the entry already selected shows its readme again.
    const QRect rowRect =
        CatalogueFixture::listView()->visualRect(CatalogueFixture::shownIndex(0, 1));
    QTest::mouseClick(CatalogueFixture::listView()->viewport(), Qt::LeftButton, {},
                      rowRect.center());
    QCOMPARE(CatalogueFixture::listView()->currentIndex().row(), 0);
    QCOMPARE(text->toPlainText(), "read me first");

    CatalogueFixture::select(1);
    QCOMPARE(text->toPlainText(), "Readme.txt がありません。");
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->item(0)->text(), "Changes.TXT");
    QVERIFY(m_fixture->env->prompt.messages.isEmpty());
}

void CatalogueWindowTest::previewOfMissingFolder() {
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b"});
    m_fixture->env->writeFile("w/a/x.txt", "x");
    m_fixture->useWorkFolder(work);
    m_fixture->open();
    auto* text = qobject_cast<QPlainTextEdit*>(control("Text1"));
    auto* files = qobject_cast<QListWidget*>(control("File2"));
    CatalogueFixture::select(0);
    QCOMPARE(files->count(), 1);
    QDir(work + "/b").removeRecursively();
    CatalogueFixture::select(1);
    QCOMPARE(text->toPlainText(), "Readme.txt がありません。");
    QCOMPARE(files->count(), 1);  // left as it was
}

void CatalogueWindowTest::columnSortIsStable() {
    const QByteArray list =
        "1,Zed,a,Tools,x1,y1\r\n1,alpha,b,games,x2,y2\r\n1,Mid,c,Tools,x3,y3\r\n"
        "1,beta,d,games,x4,y4\r\n";
    openWith({"a", "b", "c", "d"}, list);
    const auto shown = [] {
        QStringList result;
        const QAbstractItemModel* rows = CatalogueFixture::listView()->model();
        for (int row = 0; row < rows->rowCount(); ++row) {
            result.append(rows->index(row, 0).data().toString());
        }
        return result;
    };
    const auto click = [](int column) {
        auto* view = qobject_cast<QTreeView*>(CatalogueFixture::listView());
        Q_EMIT view->header()->sectionClicked(column);
    };
    click(0);
    QCOMPARE(shown(), (QStringList{"alpha", "beta", "Mid", "Zed"}));
    // Equal categories keep the list's order, also when a second click reverses.
    click(2);
    QCOMPARE(shown(), (QStringList{"alpha", "beta", "Zed", "Mid"}));
    CatalogueFixture::select(3);
    click(2);
    QCOMPARE(shown(), (QStringList{"Zed", "Mid", "alpha", "beta"}));
    click(1);
    QCOMPARE(shown(), (QStringList{"Zed", "alpha", "Mid", "beta"}));
    click(1);
    QCOMPARE(shown(), (QStringList{"beta", "Mid", "alpha", "Zed"}));
    // The selection stays with its entry; sorting is a view, not a change of the list.
    QCOMPARE(CatalogueFixture::listView()->currentIndex().row(), 0);
    QVERIFY(!CatalogueFixture::window()->listChanged());
    QCOMPARE(CatalogueFixture::rows().first(), "1,Zed,a,Tools,x1,y1");
    // The sort is remembered for the next opening.
    action("mnuExit")->trigger();
    m_fixture->open();
    QCOMPARE(shown(), (QStringList{"beta", "Mid", "alpha", "Zed"}));
}

void CatalogueWindowTest::rowsMeasuredForTheColumns_data() {
    QTest::addColumn<QList<int>>("countFirstShownSample");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("a short list is measured whole")
        << QList<int>{5, 0, 10, 20} << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("the rows on screen and a spread")
        << QList<int>{100, 41, 3, 13}
        << QList<int>{0, 10, 20, 30, 40, 41, 42, 43, 50, 60, 70, 80, 90};
    QTest::newRow("only the rows on screen") << QList<int>{100, 5, 3, 0} << QList<int>{5, 6, 7};
    QTest::newRow("screen past the end") << QList<int>{4, 3, 10, 0} << QList<int>{3};
}

void CatalogueWindowTest::rowsMeasuredForTheColumns() {
    QFETCH(QList<int>, countFirstShownSample);
    QFETCH(QList<int>, rows);
    const QList<int>& a = countFirstShownSample;
    QCOMPARE(rowsToMeasure(a[0], a[1], a[2], a[3]), rows);
}

void CatalogueWindowTest::filterBarKeysAndTabOrder() {
    CatalogueWindow* window = openWith(
        {"a", "b", "c"}, "1,Edit,a,ツール,x,y\r\n1,Play,b,ゲーム,x,y\r\n1,Grep,c,ツール,x,y\r\n");
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* box = qobject_cast<QLineEdit*>(control("filterBox"));
    auto* categories = qobject_cast<QComboBox*>(control("categoryBox"));
    QLabel* count = qobject_cast<QLabel*>(control("rowCount"));
    QStringList items;
    for (int i = 0; i < categories->count(); ++i) {
        items.append(categories->itemText(i));
    }
    QCOMPARE(items, (QStringList{"すべての分類 (3)", "ゲーム (1)", "ツール (2)"}));
    categories->setCurrentIndex(2);
    QCOMPARE(count->text(), "2 / 3 件");

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClicks(box, "GR");
    QCOMPARE(count->text(), "1 / 3 件");
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->text(), QString());
    categories->setCurrentIndex(0);
    QCOMPARE(count->text(), "3 件");

    QStringList order;
    for (int i = 0; i < 11; ++i) {
        order.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order,
             (QStringList{"filterBox", "categoryBox", "ListView1", "Command10", "Command11",
                          "Command1", "Command13", "Command7", "Command12", "File2", "Text1"}));
}

void CatalogueWindowTest::otherWindowsWaitWhileTheListLoads() {
    // The main menu that opened the catalogue takes no click until the list has loaded.
    Form* menu = WindowRegistry::instance().show(WindowKind::MainMenu);
    bool enabledDuringLoad = true;
    QTimer::singleShot(0, menu, [&] { enabledDuringLoad = menu->isEnabled(); });
    openWith({"a"}, "");
    QVERIFY(!enabledDuringLoad);
    QVERIFY(menu->isEnabled());
}

void CatalogueWindowTest::menuButtonHandsOverToMainMenu() {
    openWith({"a"}, "");
    qobject_cast<QPushButton*>(control("Command12"))->click();
    QVERIFY(test::waitFor([this] { return m_fixture->shown.contains(WindowKind::MainMenu); }));
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Catalogue));
    QCOMPARE(m_fixture->env->endCount, 0);
}

void CatalogueWindowTest::installerMenuHandsOver() {
    openWith({"a"}, "1,Gone,gone,c,e,d\r\n");
    m_fixture->env->prompt.answers = {AnswerYes};
    action("mnuAdd")->trigger();
    QVERIFY(test::waitFor([this] { return m_fixture->shown.contains(WindowKind::Installer); }));
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Catalogue));
    // Saved, but the link window is not shown while the installer is.
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()),
             QString("2,a,a,未設定,不明,未設定\r\n").toUtf8());
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Links));
    QCOMPARE(m_fixture->env->endCount, 0);
}

// A large catalogue shows before every program was looked at: the rows on screen have their
// icons at once, a row scrolled to gets its icon before the rows below it, the rest while idle.
void CatalogueWindowTest::iconsOffScreenArriveWhileIdle() {
    constexpr int kRows = 20000;
    QStringList folders;
    QString list;
    for (int i = 0; i < kRows; ++i) {
        folders << QString("p%1").arg(i, 5, 10, QChar(u'0'));
    }
    const QString work = m_fixture->makeWorkFolder("w", folders);
    const QString exe = m_fixture->env->writeFile(
        "w/p00000/run.exe", test::buildPe(test::smallIconImage(), test::largeIconImage()).bytes);
    for (const QString& folder : folders) {
        list += QString("1,%1,%1,k,%2,x\r\n").arg(folder, exe);
    }
    const QByteArray bytes = list.toUtf8();
    m_fixture->useWorkFolder(work, &bytes);
    m_fixture->open();
    CatalogueModel* model = CatalogueFixture::model();
    QVERIFY(model->entry(0).state >= 3);
    QCOMPARE(model->entry(kRows - 1).state, qint16(1));
    auto* view = qobject_cast<QTreeView*>(control("ListView1"));
    view->scrollTo(view->model()->index(kRows - 20, 0), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();  // one idle slice
    QVERIFY(model->entry(kRows - 18).state >= 3);
    QCOMPARE(model->entry(kRows - 100).state, qint16(1));
    QTRY_VERIFY(model->entry(kRows - 100).state >= 3);
}

void CatalogueWindowTest::iconRefreshKeepsExcludedAndUnregistered() {
    const QString work = m_fixture->makeWorkFolder("w", {"a", "b", "c", "d"});
    const QString exe = m_fixture->env->writeFile("w/a/run.exe", "MZ");
    const QString list = QStringLiteral(
                             "0,A,a,k,%1,x\r\n1,B,b,k,%1,x\r\n2,C,c,k,%1,x\r\n"
                             "1,D,d,k,/nowhere/run.exe,x\r\n")
                             .arg(exe);
    const QByteArray bytes = list.toUtf8();
    m_fixture->useWorkFolder(work, &bytes);
    m_fixture->open();
    CatalogueModel* model = CatalogueFixture::model();
    QCOMPARE(model->entry(0).state, qint16(0));
    QCOMPARE(model->entry(2).state, qint16(2));
    QCOMPARE(model->entry(3).state, qint16(1));
    const bool hasIcon = !programIcon(exe, 16).isNull();
    if (hasIcon) {
        QVERIFY(model->entry(1).state >= 3);
        QVERIFY(!model->image(model->entry(1).state).isNull());
    } else {
        QCOMPARE(model->entry(1).state, qint16(1));
    }
    // The large icon of a selected program, when there is one.
    CatalogueFixture::select(1);
    QCOMPARE(qobject_cast<QLabel*>(control("Picture1"))->pixmap().isNull(), !hasIcon);
    CatalogueFixture::select(3);
    QVERIFY(qobject_cast<QLabel*>(control("Picture1"))->pixmap().isNull());

    // Saving keeps every state as it was read.
    QVERIFY(model->setData(model->index(3, 0), "D2"));
    m_fixture->env->prompt.answers = {AnswerYes};
    CatalogueFixture::closeWindow();
    QCOMPARE(test::TestEnvironment::readFile(m_fixture->listFile()),
             QString(list).replace("1,D,", "1,D2,").toUtf8());
}

void CatalogueWindowTest::inPlaceNameEdit() {
    CatalogueWindow* window = openWith({"a", "b"}, "");
    QAbstractItemView* view = CatalogueFixture::listView();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    view->setFocus();
    CatalogueFixture::select(1);
    QVERIFY(!window->listChanged());
    // F2 opens the registration; a click on the selected row edits the name in place.
    view->edit(CatalogueFixture::shownIndex(1));
    auto* editor = view->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "Renamed, really");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(CatalogueFixture::model()->entry(1).name, "Renamed, really");
    QCOMPARE(CatalogueFixture::model()->entry(1).folder, "b");
    QVERIFY(window->listChanged());
    // Only the name column can be edited.
    QVERIFY(!(CatalogueFixture::model()->flags(CatalogueFixture::model()->index(1, 1)) &
              Qt::ItemIsEditable));
}

void CatalogueWindowTest::doubleClickEditsRow() {
    m_fixture->registration.answer = [](int) { state().editResult = 1; };
    CatalogueWindow* window = openWith({"a", "b"}, "");
    QAbstractItemView* view = CatalogueFixture::listView();
    const QRect rect = view->visualRect(CatalogueFixture::shownIndex(1, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(test::waitFor([this] { return m_fixture->registration.shownFolders.size() == 1; }));
    QCOMPARE(m_fixture->registration.shownFolders, QStringList{"b"});
    // Cancelled: the row is as it was, but the list counts as changed.
    QCOMPARE(CatalogueFixture::rows().at(1), "2,b,b,未設定,不明,未設定");
    QVERIFY(window->listChanged());
}

void CatalogueWindowTest::iconShownRightAfterRegistering() {
    const QString exe = m_fixture->env->root() + "/w/a/tool.exe";
    m_fixture->registration.answer = [exe](int) {
        state().editState = 1;
        state().editExe = exe;
    };
    openWith({"a"}, "");
    m_fixture->env->writeFile("w/a/tool.exe", test::testExecutable());
    CatalogueFixture::select(0);
    QVERIFY(qobject_cast<QLabel*>(control("Picture1"))->pixmap().isNull());
    qobject_cast<QPushButton*>(control("Command8"))->click();
    QCOMPARE(m_fixture->registration.shownFolders, QStringList{"a"});
    QCOMPARE(qobject_cast<QLabel*>(control("Picture1"))->pixmap().size(), QSize(32, 32));
}

QTEST_MAIN(CatalogueWindowTest)
#include "tst_cataloguewindow.moc"
