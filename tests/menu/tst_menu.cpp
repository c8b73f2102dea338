// Tests of the main menu: the recent-folder list, the two button groups, preparing a working
// folder and the hand-over to the other windows.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/form.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "app/workingfolder.h"
#include "menu/menuwindows.h"
#include "menu/recentfolders.h"
#include "platform/settingsstore.h"
#include "support/testenvironment.h"

using namespace qm;

namespace {

const QStringList kActionButtons = {"Command1", "Command3", "Command4", "Command5", "Command8"};
const QStringList kPrepared = {"Command1", "Command3", "Command5", "Command8"};
const QStringList kNotPrepared = {"Command4"};

}  // namespace

class TestMenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void updateRule_data();
    void updateRule();
    void folderCleaning_data();
    void folderCleaning();
    void folderCaseIsResolved();

    void firstRun();
    void recentList_data();
    void recentList();
    void nothingChosenDisablesBothGroups_data();
    void nothingChosenDisablesBothGroups();
    void rootIsRefused_data();
    void rootIsRefused();
    void handedOverFolder_data();
    void handedOverFolder();
    void pickedRowTakesTheFolderOnDisk();
    void boxAlwaysShowsWorkFolder_data();
    void boxAlwaysShowsWorkFolder();
    void prepareThenOpenCatalogue();
    void failedPrepareKeepsTheButtons();
    void installerReplacesMenu();
    void linksAreModal();
    void openFolderOpensTheListFolder();
    void quitWritesListAndEnds();
    void enterInTheBoxOpensNothing_data();
    void enterInTheBoxOpensNothing();

private:
    // Paths in the tables are written with "@" for the test's own folder; a leading "~" stands
    // for a row lower-cased as earlier versions stored it.
    QString path(const QString& text) const {
        const QString expanded = QString(text).replace(u'@', m_env->root());
        return expanded.startsWith(u'~') ? expanded.mid(1).toLower() : expanded;
    }
    QStringList paths(const QStringList& texts) const;
    QStringList lowerPaths(const QStringList& texts) const;
    void storeRows(const QStringList& rows);
    static QStringList storedRows();
    void makePrepared(const QString& workFolder);

    Form* openMenu();
    Form* menu() const { return WindowRegistry::instance().find(WindowKind::MainMenu); }
    QPushButton* button(const char* name) const;
    QComboBox* box() const;
    QStringList rows() const;
    QStringList enabledActions() const;
    void browseTo(const QString& folder);
    void pickRow(int row);

    std::unique_ptr<test::TestEnvironment> m_env;
    int m_linksShown = 0;
};

void TestMenu::init() {
    m_env = std::make_unique<test::TestEnvironment>();
    m_linksShown = 0;
    registerMenuWindows();
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Catalogue,
                        [] { return new test::ScriptedForm(WindowKind::Catalogue, {}, true); });
    registry.setFactory(WindowKind::Installer,
                        [] { return new test::ScriptedForm(WindowKind::Installer, {}, true); });
    registry.setFactory(WindowKind::Links, [this] {
        return new test::ScriptedForm(WindowKind::Links, [this] { ++m_linksShown; });
    });
}

void TestMenu::cleanup() {
    m_env.reset();
}

QStringList TestMenu::paths(const QStringList& texts) const {
    QStringList result;
    for (const QString& text : texts) {
        result.append(path(text));
    }
    return result;
}

QStringList TestMenu::lowerPaths(const QStringList& texts) const {
    QStringList result;
    for (const QString& text : texts) {
        result.append(path(text).toLower());
    }
    return result;
}

void TestMenu::storeRows(const QStringList& rows) {
    for (int i = 0; i < rows.size(); ++i) {
        SettingsStore::write("Orvalde", "qmorn", QStringLiteral("lpd%1").arg(i), rows[i]);
    }
}

QStringList TestMenu::storedRows() {
    QStringList rows;
    for (int i = 0; i < 5; ++i) {
        rows.append(
            SettingsStore::read("Orvalde", "qmorn", QStringLiteral("lpd%1").arg(i), "<missing>"));
    }
    return rows;
}

void TestMenu::makePrepared(const QString& workFolder) {
    const QString listFolder = m_env->programFolder() + u'/' + QFileInfo(workFolder).fileName();
    QDir().mkpath(listFolder);
    QFile file(listFolder + "/settings.dat");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(workFolder.toUtf8() + "\r\n");
}

Form* TestMenu::openMenu() {
    Form* form = WindowRegistry::instance().show(WindowKind::MainMenu);
    Q_ASSERT(form);
    return form;
}

QPushButton* TestMenu::button(const char* name) const {
    auto* found = menu()->findChild<QPushButton*>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

QComboBox* TestMenu::box() const {
    return menu()->findChild<QComboBox*>(QStringLiteral("Combo1"));
}

QStringList TestMenu::rows() const {
    QStringList result;
    for (int i = 0; i < box()->count(); ++i) {
        result.append(box()->itemText(i));
    }
    return result;
}

QStringList TestMenu::enabledActions() const {
    QStringList result;
    for (const QString& name : kActionButtons) {
        if (menu()->findChild<QPushButton*>(name)->isEnabled()) {
            result.append(name);
        }
    }
    return result;
}

void TestMenu::browseTo(const QString& folder) {
    m_env->prompt.folders = QStringList{folder};
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
}

void TestMenu::pickRow(int row) {
    box()->setCurrentIndex(row);
    Q_EMIT box()->activated(row);
}

void TestMenu::updateRule_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("moves to the top") << QStringList{"c:/a", "d:/soft", "c:/b", "", ""} << "d:/soft"
                                      << QStringList{"d:/soft", "c:/a", "c:/b", "", ""};
    QTest::newRow("sixth folder drops the oldest")
        << QStringList{"a", "b", "c", "d", "e"} << "f" << QStringList{"f", "a", "b", "c", "d"};
    QTest::newRow("empty rows are rows")
        << QStringList{"", "", "", "", ""} << "a" << QStringList{"a", "", "", "", ""};
    QTest::newRow("another spelling is another folder")
        << QStringList{"x/a", "X/A", "b", "", ""} << "x/a"
        << QStringList{"x/a", "X/A", "b", "", ""};
    QTest::newRow("short stored list") << QStringList{"a"} << "b" << QStringList{"b", "a"};
}

void TestMenu::updateRule() {
    QFETCH(QStringList, before);
    QFETCH(QString, key);
    QFETCH(QStringList, after);
    QCOMPARE(recentfolders::putOnTop(before, key), after);
}

void TestMenu::folderCleaning_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("trailing separator") << "/home/u/Soft/"
                                        << "/home/u/Soft";
    QTest::newRow("doubled separators") << "//home//u/Soft"
                                        << "/home/u/Soft";
    QTest::newRow("parent part") << "/home/u/Soft/.."
                                 << "/home/u";
    QTest::newRow("up to the root") << "/home/.."
                                    << "/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMenu::folderCleaning() {
    QFETCH(QString, given);
    QFETCH(QString, cleaned);
    QCOMPARE(cleanWorkFolder(given), cleaned);
}

void TestMenu::folderCaseIsResolved() {
    const QString real = m_env->makeFolder("Tools/Soft");
    QCOMPARE(resolveFolderCase(real.toLower()), real);
    QCOMPARE(resolveFolderCase(real), real);
    // A folder that does not exist in any spelling is taken as it is.
    const QString missing = (m_env->root() + "/Tools/Nowhere").toLower();
    QCOMPARE(resolveFolderCase(missing), missing);
}

void TestMenu::firstRun() {
    openMenu();
    QCOMPARE(menu()->windowTitle(), QStringLiteral("Quillmorn"));
    QCOMPARE(rows(), QStringList(5, QString()));
    QCOMPARE(box()->currentText(), QString());
    QVERIFY(enabledActions().isEmpty());
    QVERIFY(button("Command2")->isEnabled());
    QVERIFY(button("Command6")->isEnabled());
    QVERIFY(m_env->prompt.messages.isEmpty());
    const QStringList texts = {"Label1", "Label2", "Label3", "Label4",
                               "Label5", "Label6", "Label7"};
    for (const QString& name : texts) {
        QVERIFY2(!menu()->findChild<QLabel*>(name)->text().isEmpty(), qPrintable(name));
    }
    QCOMPARE(button("Command6")->text(), QStringLiteral("終 了"));

    menu()->close();
    QCOMPARE(storedRows(), QStringList(5, QString()));
}

void TestMenu::recentList_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("folders");  // made on disk
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("moves to the top")
        << QStringList{"@/a", "@/Soft", "@/b", "", ""} << QStringList{"Soft"} << "@/Soft"
        << QStringList{"@/Soft", "@/a", "@/b", "", ""};
    QTest::newRow("sixth drops the oldest")
        << QStringList{"@/a", "@/b", "@/c", "@/d", "@/e"} << QStringList{"f"} << "@/f"
        << QStringList{"@/f", "@/a", "@/b", "@/c", "@/d"};
    QTest::newRow("old lower-cased row of the folder goes")
        << QStringList{"~@/a", "~@/soft", "~@/b", "", ""} << QStringList{"SOFT"} << "@/SOFT"
        << QStringList{"@/SOFT", "~@/a", "~@/b", "", ""};
    QTest::newRow("another spelling stays")
        << QStringList{"@/a", "@/soft", "@/b", "", ""} << QStringList{"soft", "SOFT"} << "@/SOFT"
        << QStringList{"@/SOFT", "@/a", "@/soft", "@/b", ""};
    QTest::newRow("old row of two spellings stays")
        << QStringList{"~@/soft", "", "", "", ""} << QStringList{"Soft", "SOFT"} << "@/SOFT"
        << QStringList{"@/SOFT", "~@/soft", "", "", ""};
}

void TestMenu::recentList() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, folders);
    QFETCH(QString, chosen);
    QFETCH(QStringList, expected);
    for (const QString& folder : folders) {
        m_env->makeFolder(folder);
    }
    storeRows(paths(stored));
    openMenu();
    QCOMPARE(rows(), paths(stored));

    browseTo(path(chosen));

    QCOMPARE(m_env->prompt.chooserTitles,
             QStringList{QStringLiteral("対象となるフォルダを指定してください。")});
    QCOMPARE(rows(), paths(expected));
    // The working folder and its row keep the case it was chosen in.
    QCOMPARE(state().workFolder, path(chosen));
    QCOMPARE(box()->currentText(), path(chosen));
    QCOMPARE(enabledActions(), kNotPrepared);
    QCOMPARE(state().listFolder, m_env->programFolder() + u'/' + QFileInfo(chosen).fileName());

    menu()->close();
    QCOMPARE(storedRows(), paths(expected));
}

void TestMenu::nothingChosenDisablesBothGroups_data() {
    QTest::addColumn<bool>("pickEmptyRow");
    QTest::newRow("browse cancelled") << false;
    QTest::newRow("empty row picked") << true;
}

void TestMenu::nothingChosenDisablesBothGroups() {
    QFETCH(bool, pickEmptyRow);
    const QString soft = m_env->makeFolder("Soft");
    makePrepared(soft);
    openMenu();
    browseTo(soft);
    QCOMPARE(enabledActions(), kPrepared);
    const QStringList before = rows();

    if (pickEmptyRow) {
        pickRow(1);
    } else {
        browseTo(QString());
    }

    QVERIFY(enabledActions().isEmpty());
    QCOMPARE(state().workFolder, soft);
    QCOMPARE(box()->currentText(), soft);
    QCOMPARE(rows(), before);
    QVERIFY(m_env->prompt.messages.isEmpty());
}

void TestMenu::rootIsRefused_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("handedOver");
    QTest::addColumn<QString>("message");
    const QString deeper = QStringLiteral("もっと深い階層を指定してください");
    const QString unstorable = QStringLiteral("管理する対象のフォルダにできません。");
    QTest::newRow("root chosen") << "/" << false << deeper;
    QTest::newRow("root with doubled separators") << "//" << false << deeper;
    QTest::newRow("parent of a top folder") << "/tmp/.." << false << deeper;
    QTest::newRow("root handed over") << "/" << true << deeper;
    // "settings.dat" could not give such a folder back as it is.
    QTest::newRow("comma and double quote") << "/tmp/a,\"b\"" << false << unstorable;
    QTest::newRow("comma and quote handed over") << "/tmp/\"x, y" << true << unstorable;
}

void TestMenu::rootIsRefused() {
    QFETCH(QString, folder);
    QFETCH(bool, handedOver);
    QFETCH(QString, message);
    storeRows({"/x/a", "", "", "", ""});
    if (handedOver) {
        state().workFolder = folder;
        openMenu();
    } else {
        openMenu();
        browseTo(folder);
    }
    QCOMPARE(m_env->prompt.texts().size(), 1);
    QVERIFY(m_env->prompt.texts()[0].endsWith(message));
    QCOMPARE(m_env->prompt.messages[0].title, QString());
    QVERIFY(enabledActions().isEmpty());
    QCOMPARE(rows(), (QStringList{"/x/a", "", "", "", ""}));
    QVERIFY(!QFile::exists(m_env->programFolder() + "/settings.dat"));
}

void TestMenu::handedOverFolder_data() {
    QTest::addColumn<bool>("prepared");
    QTest::newRow("prepared") << true;
    QTest::newRow("not prepared") << false;
}

void TestMenu::handedOverFolder() {
    QFETCH(bool, prepared);
    const QString soft = m_env->makeFolder("Tools/Soft");
    if (prepared) {
        makePrepared(soft);
    }
    storeRows(lowerPaths({"@/a", "@/b", "", "", ""}));
    state().workFolder = soft;
    openMenu();
    QCOMPARE(rows(), paths({"@/Tools/Soft", "~@/a", "~@/b", "", ""}));
    QCOMPARE(box()->currentText(), soft);
    QCOMPARE(enabledActions(), prepared ? kPrepared : kNotPrepared);
    QCOMPARE(state().listFolder, m_env->programFolder() + "/Soft");
}

// Earlier versions kept the list in lower case, but this file system tells letter cases apart: a
// picked old row is taken as the one folder on disk it stands for, so that it names the list
// folder that was prepared for it, and is stored in that spelling.
void TestMenu::pickedRowTakesTheFolderOnDisk() {
    const QString soft = m_env->makeFolder("Tools/Soft");
    makePrepared(soft);
    storeRows(lowerPaths({"@/a", "@/Tools/Soft", "", "", ""}));
    openMenu();
    QVERIFY(enabledActions().isEmpty());

    pickRow(1);

    QCOMPARE(state().workFolder, soft);
    QCOMPARE(state().listFolder, m_env->programFolder() + "/Soft");
    QCOMPARE(box()->currentText(), soft);
    QCOMPARE(rows(), paths({"@/Tools/Soft", "~@/a", "", "", ""}));
    QCOMPARE(enabledActions(), kPrepared);
    QCOMPARE(QApplication::focusWidget(), button("Command2"));
}

void TestMenu::boxAlwaysShowsWorkFolder_data() {
    QTest::addColumn<QString>("typed");  // "@" stands for the test's root
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QString>("workFolder");  // "" when the folder stays "Soft"
    QTest::addColumn<int>("messages");
    QTest::newRow("typing, then leaving") << "@/Other" << false << "" << 0;
    QTest::newRow("folder taken with Enter") << "@/Other" << true << "@/Other" << 0;
    QTest::newRow("missing folder") << "@/Missing" << true << "" << 1;
    QTest::newRow("relative path") << "Other" << true << "" << 1;
}

void TestMenu::boxAlwaysShowsWorkFolder() {
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, workFolder);
    QFETCH(int, messages);
    const QString soft = m_env->makeFolder("Soft");
    m_env->makeFolder("Other");
    workFolder = workFolder.isEmpty() ? soft : workFolder.replace("@", m_env->root());
    Form* form = openMenu();
    browseTo(soft);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QLineEdit* edit = box()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed.replace("@", m_env->root()));
    QTest::keyClick(edit, enter ? Qt::Key_Return : Qt::Key_Tab);
    button("Command2")->setFocus();
    QCOMPARE(box()->currentText(), workFolder);
    QCOMPARE(state().workFolder, workFolder);
    QCOMPARE(m_env->prompt.messages.size(), messages);
    QCOMPARE(box()->count(), 5);
}

void TestMenu::prepareThenOpenCatalogue() {
    const QString soft = m_env->makeFolder("Soft");
    openMenu();
    browseTo(soft);
    QCOMPARE(enabledActions(), kNotPrepared);

    QTest::mouseClick(button("Command4"), Qt::LeftButton);

    QCOMPARE(m_env->prompt.texts(), QStringList{QStringLiteral("作業フォルダを作成しました。")});
    QCOMPARE(m_env->prompt.messages[0].title, QString());
    QCOMPARE(test::TestEnvironment::readFile(m_env->programFolder() + "/Soft/settings.dat"),
             soft.toUtf8() + "\r\n");
    QCOMPARE(enabledActions(), kPrepared);

    QTest::mouseClick(button("Command1"), Qt::LeftButton);

    QVERIFY(
        test::waitFor([] { return WindowRegistry::instance().isVisible(WindowKind::Catalogue); }));
    QVERIFY(test::waitFor([this] { return menu() == nullptr; }));
    QCOMPARE(state().workFolder, soft);
    QCOMPARE(state().listFolder, m_env->programFolder() + "/Soft");
    QCOMPARE(storedRows().first(), soft);
    QCOMPARE(m_env->endCount, 0);
}

void TestMenu::failedPrepareKeepsTheButtons() {
    const QString soft = m_env->makeFolder("Soft");
    // A file where the list folder should go.
    QDir().mkpath(m_env->programFolder());
    QFile blocker(m_env->programFolder() + "/Soft");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    openMenu();
    browseTo(soft);

    QTest::mouseClick(button("Command4"), Qt::LeftButton);

    QCOMPARE(m_env->prompt.messages.size(), 1);
    QVERIFY(m_env->prompt.lastText().startsWith(
        QStringLiteral("作業フォルダを作成できませんでした。")));
    QCOMPARE(enabledActions(), kNotPrepared);
}

void TestMenu::installerReplacesMenu() {
    const QString soft = m_env->makeFolder("Soft");
    makePrepared(soft);
    openMenu();
    browseTo(soft);
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    QVERIFY(
        test::waitFor([] { return WindowRegistry::instance().isVisible(WindowKind::Installer); }));
    QVERIFY(test::waitFor([this] { return menu() == nullptr; }));
    QCOMPARE(storedRows().first(), soft);
    QCOMPARE(m_env->endCount, 0);
}

void TestMenu::linksAreModal() {
    const QString soft = m_env->makeFolder("Soft");
    makePrepared(soft);
    openMenu();
    browseTo(soft);
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    // The link window ran modally and closed; the menu stayed open behind it.
    QCOMPARE(m_linksShown, 1);
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Links));
    QVERIFY(menu() != nullptr);
    QVERIFY(menu()->isVisible());
    QCOMPARE(enabledActions(), kPrepared);
}

void TestMenu::openFolderOpensTheListFolder() {
    const QString soft = m_env->makeFolder("Tools/Soft");
    makePrepared(soft);
    openMenu();
    browseTo(soft);
    QTest::mouseClick(button("Command8"), Qt::LeftButton);
    QCOMPARE(m_env->launcher.openedFolders, QStringList{m_env->programFolder() + "/Soft"});
    QVERIFY(m_env->prompt.messages.isEmpty());

    // A list folder removed behind the menu's back is reported, not opened.
    QDir(m_env->programFolder() + "/Soft").removeRecursively();
    QTest::mouseClick(button("Command8"), Qt::LeftButton);
    QCOMPARE(m_env->launcher.openedFolders.size(), 1);
    QCOMPARE(m_env->prompt.messages.size(), 1);
}

void TestMenu::quitWritesListAndEnds() {
    const QString soft = m_env->makeFolder("Soft");
    openMenu();
    browseTo(soft);
    QTest::mouseClick(button("Command6"), Qt::LeftButton);
    QCOMPARE(m_env->endCount, 1);
    QVERIFY(menu() == nullptr);
    QCOMPARE(storedRows(), (QStringList{soft, "", "", "", ""}));
}

void TestMenu::enterInTheBoxOpensNothing_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TestMenu::enterInTheBoxOpensNothing() {
    QFETCH(int, key);
    const QString work = m_env->makeFolder("Apps");
    makePrepared(work);
    state().workFolder = work;
    Form* form = openMenu();
    QCOMPARE(enabledActions(), kPrepared);
    form->activateWindow();
    box()->lineEdit()->setFocus();
    QTest::keyClick(box()->lineEdit(), Qt::Key(key));
    QCoreApplication::processEvents();
    // No button is pressed by Enter: no folder chooser, no other window, the menu stays.
    QVERIFY(m_env->prompt.chooserTitles.isEmpty());
    QVERIFY(m_env->prompt.messages.isEmpty());
    QCOMPARE(WindowRegistry::instance().loadedWindows(), QList<Form*>{form});
    QCOMPARE(m_linksShown, 0);
    QCOMPARE(box()->currentText(), work);
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
