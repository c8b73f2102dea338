#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <functional>

#include "app/elidinglabel.h"
#include "app/form.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "catalogue/listfile.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "registration/filelistbox.h"
#include "registration/folderlistbox.h"
#include "registration/registrationwindows.h"
#include "support/testappimage.h"
#include "support/testenvironment.h"
#include "support/testpe.h"

using namespace qm;
using namespace qm::test;

namespace {

template <typename T>
T* control(Form* form, const char* name) {
    T* widget = form->findChild<T*>(QLatin1String(name));
    if (!widget) {
        qFatal("no control %s", name);
    }
    return widget;
}

QStringList rows(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

QStringList comboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

void clickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// A double click as the window system delivers it: a click, a second press, the double click.
void doubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

int rowOf(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().trimmed() == text) {
            return i;
        }
    }
    return -1;
}

void setExecutable(const QString& path, bool executable) {
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    if (executable) {
        permissions |= QFile::ExeOwner | QFile::ExeGroup;
    }
    QFile::setPermissions(path, permissions);
}

// The frame covers the rows from the name down to the description.
bool covered(Form* form) {
    const auto* frame = control<QGroupBox>(form, "Frame1");
    return frame->geometry().bottom() >= control<QLineEdit>(form, "Text2")->geometry().bottom();
}

}  // namespace

class TestRegistrationWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void opensEachState_data();
    void opensEachState();
    void vanishedFolderGivesEmptyLists_data();
    void vanishedFolderGivesEmptyLists();
    void singleProgramChosenOnActivation_data();
    void singleProgramChosenOnActivation();
    void listsProgramAndTextFiles();
    void programsKnownByContent_data();
    void programsKnownByContent();
    void offersProgramsOwnText_data();
    void offersProgramsOwnText();
    void choosingProgramRegisters();
    void checkAndUncheck_data();
    void checkAndUncheck();
    void waysOut_data();
    void waysOut();
    void browsingStaysInProgramFolder();
    void categories_data();
    void categories();
    void selectionBecomesNameAndDescription();
    void longProgramPathIsCutInTheMiddle();
    void textPreview_data();
    void textPreview();
    void noDoubledSeparator();

private:
    // Shows the dialog modally as the catalogue does. script runs once it is up and activated and
    // is expected to leave it; false when the dialog was still open afterwards.
    bool runDialog(const std::function<void(Form*)>& script);
    // A program folder "Tool" in the working folder "work/Soft", with the files given.
    QString makeProgramFolder(const QStringList& programs, const QStringList& others = {});

    std::unique_ptr<TestEnvironment> m_env;
    QString m_work;
};

void TestRegistrationWindow::initTestCase() {
    registerRegistrationWindows();
    // The catalogue that opens the dialog stays open behind it.
    WindowRegistry::instance().setFactory(WindowKind::Catalogue, [] {
        return new ScriptedForm(WindowKind::Catalogue, nullptr, true);
    });
}

void TestRegistrationWindow::init() {
    m_env = std::make_unique<TestEnvironment>();
    m_work = m_env->makeFolder(QStringLiteral("Soft"));
    state().workFolder = m_work;
    state().editFolder = QStringLiteral("Tool");
    state().editName = QStringLiteral("Old name");
    state().editCategory = QStringLiteral("Old category");
    state().editDescription = QStringLiteral("Old description");
    WindowRegistry::instance().show(WindowKind::Catalogue);
}

void TestRegistrationWindow::cleanup() {
    // Leaving the dialog never ends the program.
    QCOMPARE(m_env->endCount, 0);
    m_env.reset();
}

bool TestRegistrationWindow::runDialog(const std::function<void(Form*)>& script) {
    bool stuck = false;
    QTimer::singleShot(0, [&] {
        QPointer<Form> form = WindowRegistry::instance().find(WindowKind::Registration);
        QVERIFY(form);
        auto* combo = control<QComboBox>(form, "Combo1");
        // The first activation fills the category list.
        QVERIFY(waitFor([&] { return form->isVisible() && combo->count() > 0; }));
        script(form);
        QCoreApplication::processEvents();
        if (form && !form->isUnloaded()) {
            stuck = true;
            form->close();
        }
    });
    state().editResult = 0;
    WindowRegistry::instance().showModal(WindowKind::Registration);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return !stuck && !WindowRegistry::instance().isLoaded(WindowKind::Registration);
}

QString TestRegistrationWindow::makeProgramFolder(const QStringList& programs,
                                                  const QStringList& others) {
    const QString folder = m_env->makeFolder(QStringLiteral("Soft/Tool"));
    for (const QString& name : programs) {
        const QString path =
            m_env->writeFile(QStringLiteral("Soft/Tool/") + name, testExecutable());
        setExecutable(path, !name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive));
    }
    for (const QString& name : others) {
        setExecutable(m_env->writeFile(QStringLiteral("Soft/Tool/") + name, "text\r\n"), false);
    }
    return folder;
}

void TestRegistrationWindow::opensEachState_data() {
    QTest::addColumn<int>("startState");
    QTest::addColumn<bool>("exeThere");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("stateAfterClose");
    QTest::addColumn<bool>("listsAtExeFolder");

    QTest::newRow("registered") << 1 << true << "設定" << 1 << true;
    QTest::newRow("registered, program gone") << 1 << false << "未設定" << 2 << false;
    QTest::newRow("icon state") << 3 << true << "設定" << 3 << true;
    QTest::newRow("icon state, program gone") << 3 << false << "未設定" << 2 << false;
    QTest::newRow("unregistered") << 2 << true << "未設定" << 2 << false;
    QTest::newRow("excluded") << 0 << true << "対象外" << 0 << false;
}

void TestRegistrationWindow::opensEachState() {
    QFETCH(int, startState);
    QFETCH(bool, exeThere);
    QFETCH(QString, shown);
    QFETCH(int, stateAfterClose);
    QFETCH(bool, listsAtExeFolder);

    const QString program = makeProgramFolder({QStringLiteral("a.exe"), QStringLiteral("b.exe")},
                                              {QStringLiteral("readme.txt")});
    const QString exe =
        m_env->writeFile(QStringLiteral("Soft/Tool/bin/tool.exe"), testExecutable());
    if (!exeThere) {
        QFile::remove(exe);
    }
    state().editState = qint16(startState);
    state().editExe = exe;

    QVERIFY(runDialog([&](Form* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Old name の設定"));
        QCOMPARE(control<QPushButton>(form, "Command2")->text(), QStringLiteral("キャンセル"));
        QCOMPARE(control<QLabel>(form, "Label7")->text(), shown);
        QCOMPARE(control<QCheckBox>(form, "Check1")->isChecked(), startState == 0);
        QCOMPARE(covered(form), startState == 0);
        QCOMPARE(control<QLabel>(form, "Label8")->isVisibleTo(form), startState == 0);
        QCOMPARE(control<QLineEdit>(form, "Label2")->text(), QStringLiteral("Old name"));
        QCOMPARE(control<QLabel>(form, "Label1")->text(), QStringLiteral("Tool"));
        QCOMPARE(control<QComboBox>(form, "Combo1")->currentText(), QStringLiteral("Old category"));
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QStringLiteral("Old description"));
        QCOMPARE(control<QLabel>(form, "Text1")->text(), exe);
        QCOMPARE(!control<QLabel>(form, "Picture1")->pixmap().isNull(), exeThere);
        const QString lists = listsAtExeFolder ? program + "/bin" : program;
        QCOMPARE(control<FolderListBox>(form, "Dir1")->path(), lists);
        QCOMPARE(control<FileListBox>(form, "File1")->path(), lists);
        QCOMPARE(control<FileListBox>(form, "File2")->path(), lists);
        if (!listsAtExeFolder) {
            QCOMPARE(rows(control<FileListBox>(form, "File1")), QStringList({"a.exe", "b.exe"}));
            QCOMPARE(control<QPlainTextEdit>(form, "Text3")->toPlainText(),
                     QStringLiteral("text\n"));
        }
        form->close();  // the close box
    }));
    QCOMPARE(state().editResult, qint16(0));
    QCOMPARE(state().editState, qint16(stateAfterClose));
    QCOMPARE(state().editExe, exe);
    QCOMPARE(state().editName, QStringLiteral("Old name"));
    QVERIFY(state().categoryTable[1].isEmpty());
    QVERIFY(m_env->prompt.messages.isEmpty());
}

void TestRegistrationWindow::vanishedFolderGivesEmptyLists_data() {
    QTest::addColumn<int>("startState");
    QTest::addColumn<int>("savedState");
    QTest::newRow("unregistered") << 2 << 2;
    QTest::newRow("registered, folder gone") << 1 << 2;
    QTest::newRow("excluded") << 0 << 0;
}

void TestRegistrationWindow::vanishedFolderGivesEmptyLists() {
    QFETCH(int, startState);
    QFETCH(int, savedState);
    state().editState = qint16(startState);
    state().editExe = m_work + "/Tool/tool.exe";

    QVERIFY(runDialog([&](Form* form) {
        QCOMPARE(control<FolderListBox>(form, "Dir1")->count(), 0);
        QCOMPARE(control<FileListBox>(form, "File1")->count(), 0);
        QCOMPARE(control<FileListBox>(form, "File2")->count(), 0);
        // Clicking into the empty folder list leads nowhere and raises nothing.
        QTest::mouseClick(control<FolderListBox>(form, "Dir1")->viewport(), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
    }));
    QCOMPARE(state().editState, qint16(savedState));
    QCOMPARE(state().editResult, qint16(0));
    QVERIFY(m_env->prompt.messages.isEmpty());
}

void TestRegistrationWindow::singleProgramChosenOnActivation_data() {
    QTest::addColumn<int>("startState");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("savedState");
    QTest::newRow("unregistered") << 2 << "設定" << 1;
    // An exclusion is not undone by the automatic choice.
    QTest::newRow("excluded") << 0 << "対象外" << 0;
}

void TestRegistrationWindow::singleProgramChosenOnActivation() {
    QFETCH(int, startState);
    QFETCH(QString, shown);
    QFETCH(int, savedState);
    const QString program = makeProgramFolder(
        {QStringLiteral("Only.EXE")}, {QStringLiteral("notes.txt"), QStringLiteral("data.bin")});
    state().editState = qint16(startState);
    state().editExe = QStringLiteral("old.exe");

    QVERIFY(runDialog([&](Form* form) {
        QCOMPARE(control<QLabel>(form, "Text1")->text(), program + "/Only.EXE");
        QCOMPARE(control<QLabel>(form, "Picture1")->pixmap().size(), QSize(32, 32));
        QCOMPARE(control<QLabel>(form, "Picture1")->pixmap().toImage().pixel(31, 31),
                 largeIconColour(31, 31));
        QCOMPARE(control<QLabel>(form, "Label7")->text(), shown);
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
    }));
    QCOMPARE(state().editState, qint16(savedState));
    QCOMPARE(state().editExe, savedState == 1 ? program + "/Only.EXE" : QStringLiteral("old.exe"));
}

void TestRegistrationWindow::listsProgramAndTextFiles() {
    const QString program =
        makeProgramFolder({"b.exe", "A.EXE", "c.Exe", "run.sh", ".hidden.exe"},
                          {"data.bin", "ReadMe.TXT", "notes.txt", ".secret.txt", "zz.TXT"});
    QDir().mkpath(program + "/Sub");
    QDir().mkpath(program + "/lib");
    QDir().mkpath(program + "/.git");
    QDir().mkpath(program + "/folder.exe");
    // A readme written on a Japanese Windows system.
    QFile readme(program + "/ReadMe.TXT");
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.write(QStringEncoder("CP932").encode(QStringLiteral("説明書①\r\n")));
    readme.close();
    state().editState = 2;

    QVERIFY(runDialog([&](Form* form) {
        QCOMPARE(rows(control<FileListBox>(form, "File1")),
                 QStringList({"A.EXE", "b.exe", "c.Exe", "run.sh"}));
        QCOMPARE(rows(control<FileListBox>(form, "File2")),
                 QStringList({"notes.txt", "ReadMe.TXT", "zz.TXT"}));
        QStringList folders = rows(control<FolderListBox>(form, "Dir1"));
        for (QString& name : folders) {
            name = name.trimmed();
        }
        QCOMPARE(folders.mid(folders.indexOf("Tool") + 1),
                 QStringList({"folder.exe", "lib", "Sub"}));
        QCOMPARE(control<QPlainTextEdit>(form, "Text3")->toPlainText(),
                 QStringLiteral("説明書①\n"));
        // More than one program: nothing chosen.
        QCOMPARE(control<QLabel>(form, "Label7")->text(), QStringLiteral("未設定"));
        form->close();
    }));
}

void TestRegistrationWindow::choosingProgramRegisters() {
    const QString program = makeProgramFolder({"a.exe", "b.exe"});
    state().editState = 2;
    state().editExe = QString();

    QVERIFY(runDialog([&](Form* form) {
        auto* file1 = control<FileListBox>(form, "File1");
        clickRow(file1, 1);
        QCOMPARE(control<QLabel>(form, "Text1")->text(), program + "/b.exe");
        QCOMPARE(control<QLabel>(form, "Label7")->text(), QStringLiteral("設定"));
        QVERIFY(!control<QLabel>(form, "Picture1")->pixmap().isNull());
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
    }));
    QCOMPARE(state().editState, qint16(1));
    QCOMPARE(state().editExe, program + "/b.exe");
}

void TestRegistrationWindow::checkAndUncheck_data() {
    QTest::addColumn<int>("startState");
    QTest::addColumn<bool>("exeThere");
    QTest::addColumn<QString>("afterUncheck");
    QTest::newRow("unregistered") << 2 << false << "未設定";
    QTest::newRow("excluded, program there") << 0 << true << "設定";
    QTest::newRow("excluded, program gone") << 0 << false << "未設定";
    QTest::newRow("registered") << 1 << true << "設定";
}

void TestRegistrationWindow::checkAndUncheck() {
    QFETCH(int, startState);
    QFETCH(bool, exeThere);
    QFETCH(QString, afterUncheck);
    makeProgramFolder({"a.exe", "b.exe"});
    state().editState = qint16(startState);
    state().editExe = m_work + (exeThere ? "/Tool/a.exe" : "/Tool/gone.exe");

    QVERIFY(runDialog([&](Form* form) {
        auto* check = control<QCheckBox>(form, "Check1");
        auto* label = control<QLabel>(form, "Label7");
        if (!check->isChecked()) {
            QTest::mouseClick(check, Qt::LeftButton);
            QCOMPARE(label->text(), QStringLiteral("対象外"));
            QVERIFY(covered(form));
            QVERIFY(!control<QLineEdit>(form, "Label2")->isEnabled());
        }
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(!check->isChecked());
        QCOMPARE(label->text(), afterUncheck);
        QVERIFY(!covered(form));
        QVERIFY(control<QLineEdit>(form, "Label2")->isEnabled());
        QVERIFY(!control<QLabel>(form, "Label8")->isVisibleTo(form));
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
    }));
    QCOMPARE(state().editState, qint16(afterUncheck == "設定" ? 1 : 2));
}

void TestRegistrationWindow::waysOut_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("savedState");  // -1: nothing written back
    QTest::newRow("OK") << "Command1" << 0 << 1;
    QTest::newRow(">>>") << "Command4" << 2 << 1;
    QTest::newRow("<<<") << "Command5" << 3 << 1;
    QTest::newRow("exclude") << "Command3" << 0 << 0;
    QTest::newRow("Cancel") << "Command2" << 1 << -1;
    QTest::newRow("Enter in the name") << "Label2" << 0 << 1;
    QTest::newRow("Enter in the category") << "Combo1" << 0 << 1;
    QTest::newRow("Enter in the preview") << "Text3" << 0 << 1;
    QTest::newRow("Enter in the program list") << "File1" << 0 << 1;
    QTest::newRow("Enter on Cancel") << "enterCommand2" << 1 << -1;
    QTest::newRow("close box") << "close" << 0 << -1;
}

void TestRegistrationWindow::waysOut() {
    QFETCH(QString, way);
    QFETCH(int, result);
    QFETCH(int, savedState);
    const QString program = makeProgramFolder({"a.exe", "b.exe"}, {"readme.txt"});
    state().editState = 2;
    state().editExe = QStringLiteral("old.exe");

    QVERIFY(runDialog([&](Form* form) {
        control<FileListBox>(form, "File1")->setListIndex(0);
        auto* name = control<QLineEdit>(form, "Label2");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("New, \"name\""));
        auto* combo = control<QComboBox>(form, "Combo1");
        combo->setEditText(QStringLiteral("Tools"));
        control<QLineEdit>(form, "Text2")->setText(QStringLiteral("  A description"));
        if (way == "close") {
            form->close();
        } else if (way == "enterCommand2") {
            auto* cancel = control<QPushButton>(form, "Command2");
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return);
        } else if (way.startsWith("Command")) {
            QTest::mouseClick(control<QPushButton>(form, qPrintable(way)), Qt::LeftButton);
        } else if (way == "Combo1") {
            QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        } else {
            QWidget* target = control<QWidget>(form, qPrintable(way));
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Enter);
        }
    }));
    QCOMPARE(state().editResult, qint16(result));
    if (savedState < 0) {
        QCOMPARE(state().editState, qint16(2));
        QCOMPARE(state().editName, QStringLiteral("Old name"));
        QCOMPARE(state().editCategory, QStringLiteral("Old category"));
        QCOMPARE(state().editDescription, QStringLiteral("Old description"));
        QCOMPARE(state().editExe, QStringLiteral("old.exe"));
        QVERIFY(state().categoryTable[1].isEmpty());
        return;
    }
    QCOMPARE(state().editState, qint16(savedState));
    QCOMPARE(state().editName, QStringLiteral("New, \"name\""));
    QCOMPARE(state().editCategory, QStringLiteral("Tools"));
    QCOMPARE(state().editDescription, QStringLiteral("  A description"));
    QCOMPARE(state().editExe, savedState == 1 ? program + "/a.exe" : QStringLiteral("old.exe"));
    QCOMPARE(state().categoryTable[1], QStringLiteral("Tools"));
    QCOMPARE(state().editFolder, QStringLiteral("Tool"));
}

void TestRegistrationWindow::browsingStaysInProgramFolder() {
    const QString program = makeProgramFolder({"a.exe", "b.exe"});
    m_env->writeFile("Soft/Tool/Sub/inner.exe", testExecutable());
    m_env->writeFile("Soft/Tool/Sub/Deeper/x.txt", "x");
    state().editState = 2;

    QVERIFY(runDialog([&](Form* form) {
        auto* dir = control<FolderListBox>(form, "Dir1");
        auto* file1 = control<FileListBox>(form, "File1");
        QCOMPARE(dir->listIndex(), -1);
        // A single click on a sub-folder does not open it; a double click does.
        const int sub = rowOf(dir, "Sub");
        clickRow(dir, sub);
        QCOMPARE(dir->path(), program);
        doubleClickRow(dir, sub);
        QCOMPARE(dir->path(), program + "/Sub");
        QCOMPARE(rows(file1), QStringList({"inner.exe"}));
        QCOMPARE(dir->listIndex(), -1);

        // The working folder above: back to the program folder.
        clickRow(dir, rowOf(dir, "Soft"));
        QCOMPARE(dir->path(), program);
        QCOMPARE(dir->listIndex(), -1);
        QCOMPARE(rows(file1), QStringList({"a.exe", "b.exe"}));

        // The open folder itself, seen from a sub-folder: back as well.
        dir->setPath(program + "/Sub");
        clickRow(dir, rowOf(dir, "Sub"));
        QCOMPARE(dir->path(), program);

        // A double click on an ancestor leads back to the program folder, and not on into the
        // sub-folder that the refilled list then shows under the pointer.
        for (const char* name : {"A1", "A2", "A3", "A4", "A5", "A6"}) {
            QDir().mkpath(program + "/" + name);
        }
        dir->setPath(program + "/Sub");
        dir->scrollToItem(dir->item(rowOf(dir, "Soft")), QAbstractItemView::PositionAtTop);
        doubleClickRow(dir, rowOf(dir, "Tool"));
        QCOMPARE(dir->path(), program);
        form->close();
    }));
}

void TestRegistrationWindow::categories_data() {
    QTest::addColumn<int>("known");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("stored");
    QTest::newRow("none known") << 0 << "Games"
                                << "Command1" << true;
    QTest::newRow("three known") << 3 << "Games"
                                 << "Command1" << true;
    QTest::newRow("known again") << 3 << "Category 2"
                                 << "Command1" << false;
    QTest::newRow("excluded") << 3 << "Games"
                              << "Command3" << true;
    QTest::newRow("cancelled") << 3 << "Games"
                               << "Command2" << false;
    QTest::newRow("all thirty") << 30 << "Games"
                                << "Command1" << false;
}

void TestRegistrationWindow::categories() {
    QFETCH(int, known);
    QFETCH(QString, typed);
    QFETCH(QString, way);
    QFETCH(bool, stored);
    QStringList names;
    for (int i = 1; i <= known; ++i) {
        names.append(QStringLiteral("Category %1").arg(i));
        state().categoryTable[i] = names.last();
    }
    makeProgramFolder({});
    state().editState = 2;

    QVERIFY(runDialog([&](Form* form) {
        auto* combo = control<QComboBox>(form, "Combo1");
        QCOMPARE(comboItems(combo), known == 0 ? QStringList({QString()}) : names);
        // Filling the list leaves the entry's own category in place.
        QCOMPARE(combo->currentText(), QStringLiteral("Old category"));
        combo->setEditText(typed);
        QTest::mouseClick(control<QPushButton>(form, qPrintable(way)), Qt::LeftButton);
    }));
    const auto& table = state().categoryTable;
    QCOMPARE(std::count(table.begin(), table.end(), typed),
             stored || names.contains(typed) ? 1 : 0);
    if (stored) {
        QCOMPARE(table[known + 1], typed);
    }
    QVERIFY(table[0].isEmpty());
}

void TestRegistrationWindow::selectionBecomesNameAndDescription() {
    makeProgramFolder({"a.exe", "b.exe"});
    m_env->writeFile("Soft/Tool/readme.txt",
                     "Superb Tool, deluxe\r\n  edition two\r\nA tool that does things.\r\n");
    state().editState = 2;
    const QString longDescription(40000, u'x');
    state().editDescription = longDescription;

    QVERIFY(runDialog([&](Form* form) {
        auto* preview = control<QPlainTextEdit>(form, "Text3");
        auto* name = control<QLineEdit>(form, "Label2");
        auto* description = control<QLineEdit>(form, "Text2");
        QCOMPARE(description->text(), longDescription);

        // Nothing selected: the fields keep their texts.
        QTest::mouseClick(control<QPushButton>(form, "Command6"), Qt::LeftButton);
        QCOMPARE(name->text(), QStringLiteral("Old name"));

        // A line with its line break: no blanks before or after the name.
        QTextCursor cursor(preview->document());
        cursor.setPosition(preview->document()->findBlockByNumber(1).position());
        cursor.setPosition(preview->document()->findBlockByNumber(2).position(),
                           QTextCursor::KeepAnchor);
        preview->setTextCursor(cursor);
        QTest::mouseClick(control<QPushButton>(form, "Command6"), Qt::LeftButton);
        QCOMPARE(name->text(), QStringLiteral("edition two"));

        // Two lines selected: one line with a space where the break was.
        cursor.setPosition(0);
        cursor.setPosition(preview->document()->findBlockByNumber(1).position() + 13,
                           QTextCursor::KeepAnchor);
        preview->setTextCursor(cursor);
        QTest::mouseClick(control<QPushButton>(form, "Command6"), Qt::LeftButton);
        QCOMPARE(name->text(), QStringLiteral("Superb Tool, deluxe   edition two"));

        cursor.setPosition(preview->document()->findBlockByNumber(2).position());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        preview->setTextCursor(cursor);
        QTest::mouseClick(control<QPushButton>(form, "Command7"), Qt::LeftButton);
        // The line break at the end leaves no blank behind; nor do blanks in front.
        QCOMPARE(description->text(), QStringLiteral("A tool that does things."));
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
    }));

    // What was taken survives the list file unchanged.
    CatalogueEntry entry{state().editState,    state().editName, state().editFolder,
                         state().editCategory, state().editExe,  state().editDescription};
    ListFileReader reader(formatRecord(entry));
    const auto back = reader.next();
    QVERIFY(back);
    QCOMPARE(back->name, QStringLiteral("Superb Tool, deluxe   edition two"));
    QCOMPARE(*back, entry);
}

void TestRegistrationWindow::textPreview_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("text name") << QStringLiteral("Tool");
    // Shift-JIS bytes, as an archive from Windows brings them.
    QTest::newRow("name not text") << textFromNameBytes("\x83\x5c\x83\x74\x83\x67");
}

void TestRegistrationWindow::textPreview() {
    QFETCH(QString, folder);
    // Through the file-system seam, which keeps names that are not text byte for byte.
    const QString program = m_work + u'/' + folder;
    QVERIFY(fileSystem().makeFolder(program));
    const QList<std::pair<QString, QByteArray>> files = {{"a.exe", "MZ"},
                                                         {"b.exe", "MZ"},
                                                         {"readme.txt", "text\r\n"},
                                                         {"notes.txt", "Some notes\r\n"},
                                                         {"gone.txt", "soon gone"}};
    for (const auto& [name, bytes] : files) {
        QVERIFY(fileSystem().writeFile(QString(program + u'/' + name), bytes));
    }
    state().editFolder = folder;
    state().editState = 2;

    QVERIFY(runDialog([&](Form* form) {
        auto* file2 = control<FileListBox>(form, "File2");
        auto* preview = control<QPlainTextEdit>(form, "Text3");
        QCOMPARE(preview->toPlainText(), QStringLiteral("text\n"));
        clickRow(file2, rowOf(file2, "notes.txt"));
        QCOMPARE(preview->toPlainText(), QStringLiteral("Some notes\n"));

        QCOMPARE(rows(control<FileListBox>(form, "File1")), QStringList({"a.exe", "b.exe"}));
        // A file that vanished after it was listed: a message, and the preview stays.
        QVERIFY(fileSystem().remove(QString(program + QStringLiteral("/gone.txt"))));
        clickRow(file2, rowOf(file2, "gone.txt"));
        QCOMPARE(m_env->prompt.texts(),
                 QStringList({readableName(program) + "/gone.txt ﾌｧｲﾙを開けません。"}));
        QCOMPARE(preview->toPlainText(), QStringLiteral("Some notes\n"));
        QVERIFY(form->isVisible());
        form->close();
    }));
    fileSystem().removeTree(program);
}

void TestRegistrationWindow::programsKnownByContent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("head");
    QFile self(QCoreApplication::applicationFilePath());
    QVERIFY(self.open(QIODevice::ReadOnly));
    const QByteArray elf = self.read(4096);
    QByteArray appImage = elf;
    appImage.replace(8, 3, "AI\x02");
    QTest::newRow("ELF") << "tool" << elf;
    QTest::newRow("AppImage") << "Tool-x86_64.AppImage" << appImage;
    QTest::newRow("script without the bit") << "start" << QByteArray("#! /bin/sh\necho\n");
    QTest::newRow("PE under another name") << "tool.bin" << testExecutable();
}

void TestRegistrationWindow::programsKnownByContent() {
    QFETCH(QString, name);
    QFETCH(QByteArray, head);
    // As on a FAT stick: every file carries the execute bit, the program perhaps not even that.
    const QString program = makeProgramFolder({}, {"readme.txt", "notes.html", "data.so"});
    for (const char* other : {"readme.txt", "notes.html", "data.so"}) {
        setExecutable(program + "/" + other, true);
    }
    m_env->writeFile("Soft/Tool/" + name, head);
    setExecutable(program + "/" + name, name != "start");
    state().editState = 2;
    QVERIFY(runDialog([&](Form* form) {
        QCOMPARE(rows(control<FileListBox>(form, "File1")), QStringList{name});
        // The one program is chosen.
        QCOMPARE(control<QLabel>(form, "Text1")->text(), program + "/" + name);
        form->close();
    }));
}

void TestRegistrationWindow::offersProgramsOwnText_data() {
    QTest::addColumn<QStringList>("texts");  // program, name and description before and after
    QTest::newRow("defaults filled")
        << QStringList{"tool.exe", "Tool", "未設定", "縮小くん", "画像を縮める道具"};
    QTest::newRow("typed texts kept")
        << QStringList{"tool.exe", "Old name", "Old description", "Old name", "Old description"};
    QTest::newRow("AppImage, empty fields")
        << QStringList{"Tool.AppImage", "", "", "ツール", "いろいろする"};
}

void TestRegistrationWindow::offersProgramsOwnText() {
    QFETCH(QStringList, texts);
    const QString program = texts[0];
    makeProgramFolder({});
    if (program.endsWith(".exe")) {
        m_env->writeFile(
            "Soft/Tool/" + program,
            versionExecutable(versionResource(
                {{"041104B0",
                  {{"FileDescription", "画像を縮める道具"}, {"ProductName", "縮小くん"}}}})));
    } else {
        AppImageParts parts;
        parts.files["tool.desktop"] = appDesktopEntry();
        m_env->writeFile("Soft/Tool/" + program, buildAppImage(m_env->root(), parts));
    }
    state().editState = 2;
    state().editName = texts[1];
    state().editDescription = texts[2];
    QVERIFY(runDialog([&](Form* form) {
        QCOMPARE(control<QLineEdit>(form, "Label2")->text(), texts[3]);
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), texts[4]);
        // Where offered text came from is shown.
        QCOMPARE(control<QLabel>(form, "Label11")->text().contains(program), texts[1] != texts[3]);
        form->close();
    }));
}

void TestRegistrationWindow::noDoubledSeparator() {
    // A working folder given with a trailing separator.
    const QString program = makeProgramFolder({"a.exe", "b.exe"});
    state().workFolder = m_work + "/";
    state().editState = 2;
    QVERIFY(runDialog([&](Form* form) {
        clickRow(control<FileListBox>(form, "File1"), 0);
        QCOMPARE(control<QLabel>(form, "Text1")->text(), program + "/a.exe");
        form->close();
    }));

    // A program in the root folder: its folder is "/" and the path has one separator.
    QString rootProgram;
    for (const QFileInfo& info : QDir("/").entryInfoList(QDir::Files)) {
        if (info.isExecutable() && !info.fileName().startsWith('.')) {
            rootProgram = info.fileName();
            break;
        }
    }
    if (rootProgram.isEmpty()) {
        QSKIP("no program file in the root folder");
    }
    state().editState = 1;
    state().editExe = "/" + rootProgram;
    QVERIFY(runDialog([&](Form* form) {
        auto* file1 = control<FileListBox>(form, "File1");
        QCOMPARE(control<FolderListBox>(form, "Dir1")->path(), QStringLiteral("/"));
        clickRow(file1, rowOf(file1, rootProgram));
        QCOMPARE(control<QLabel>(form, "Text1")->text(), "/" + rootProgram);
        form->close();
    }));
}

void TestRegistrationWindow::longProgramPathIsCutInTheMiddle() {
    makeProgramFolder({});
    const QString deep =
        QStringLiteral("Soft/Tool/") + QString(60, u'd') + "/とても長い名前のツール.exe";
    const QString exe = m_env->writeFile(deep, testExecutable());
    state().editState = 1;
    state().editExe = exe;

    QVERIFY(runDialog([&](Form* form) {
        auto* path = control<ElidingLabel>(form, "Text1");
        QCOMPARE(path->text(), exe);
        // Its start and its file name show, with an ellipsis between; the tool tip is whole.
        QVERIFY(path->isElided());
        const QString shown = path->shownLines().join(QString());
        QVERIFY2(shown.contains(u'…') && shown.endsWith(".exe") && shown.startsWith(exe.left(2)),
                 qPrintable(shown));
        QCOMPARE(path->toolTip(), exe);
        QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
    }));
}

QTEST_MAIN(TestRegistrationWindow)
#include "tst_registrationwindow.moc"
