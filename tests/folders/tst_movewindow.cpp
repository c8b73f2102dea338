#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "app/form.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "app/workingfolder.h"
#include "folders/folderswindows.h"
#include "platform/fileoperation.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "support/bytetree.h"
#include "support/scopedfault.h"
#include "support/testenvironment.h"

using namespace qm;
using qm::test::TestEnvironment;

namespace {

const QString kConfirm = QStringLiteral("フォルダを移動します。よろしいですか？");
const QString kMissing = QStringLiteral("フォルダが存在しません");
const QString kSame = QStringLiteral("移動先フォルダが移動元と同じです。移動できません。");
const QString kClash = QStringLiteral("移動先に同じ名前のフォルダが既に存在します。");
const QString kFilesLeft = QStringLiteral(
    "移動中に作られたか変更されたファイルが移動元に残っているため、次のフォルダは削除していません"
    "。中身を確認してください。\n");
const QString kTransferError =
    QStringLiteral("ファイル転送エラー。当ソフトを再起動して再試行してみてください。");

// Relative path -> contents of every file (names byte for byte), empty or read-only folder below
// folder.
QMap<QString, QByteArray> filesBelow(const QString& folder) {
    return test::byteTree(folder);
}

// A working folder "soft" holding the program folder "Editor" (or another name), a second
// prepared working folder "apps", and a plain folder "elsewhere". The program folder holds a
// name that is not text and a read-only sub-folder.
class Fixture {
public:
    explicit Fixture(const QString& name = QStringLiteral("Editor")) {
        registerFoldersWindows();
        work = env.makeFolder("soft");
        apps = env.makeFolder("apps");
        elsewhere = env.makeFolder("elsewhere");
        source = work + u'/' + name;
        const std::filesystem::path native = fsPath(source);
        test::writeRawFile(native / "editor.exe", "MZ");
        test::writeRawFile(native / "readme.txt", "説明");
        test::writeRawFile(native / ".hidden", "h");
        test::writeRawFile(native / "plugins/spell/dict.dat", "words");
        test::writeRawFile(native / "\x83\x5c\x83\x74.ini", "sjis name");
        test::writeRawFile(native / "fixed/locked.dat", "locked");
        std::filesystem::create_directory(native / "empty");
        std::filesystem::permissions(native / "fixed/locked.dat", std::filesystem::perms(0444));
        std::filesystem::permissions(native / "fixed", std::filesystem::perms(0555));
        before = filesBelow(source);
        prepare(work);
        prepare(apps);
        state().workFolder = work;
        state().moveSource = source;
    }

    void prepare(const QString& folder) {
        QDir().mkpath(listFolderOf(folder));
        QVERIFY(writeSettingsFile(listFolderOf(folder), folder));
    }

    Form* open() {
        Form* form = WindowRegistry::instance().show(WindowKind::Move);
        QTest::qWait(0);
        return form;
    }

    template <typename T>
    T* control(const char* name) const {
        Form* form = WindowRegistry::instance().find(WindowKind::Move);
        return form ? form->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }

    void chooseWorkingFolder(const QString& folder) {
        auto* list = control<QListWidget>("List1");
        const QList<QListWidgetItem*> rows = list->findItems(folder, Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        list->setCurrentItem(rows.first());
    }

    void chooseOtherFolder(const QString& typed) {
        control<QRadioButton>("Option2")->click();
        control<QLineEdit>("Text1")->setText(typed);
    }

    void clickMove(bool yes = true) {
        env.prompt.answers.append(yes ? AnswerYes : AnswerNo);
        control<QPushButton>("Command1")->click();
        QTest::qWait(0);
    }

    bool isOpen() const { return WindowRegistry::instance().isLoaded(WindowKind::Move); }

    void closeWindow() {
        WindowRegistry::instance().unload(WindowKind::Move);
        QTest::qWait(0);
    }

    TestEnvironment env;
    QString work, apps, elsewhere, source;
    QMap<QString, QByteArray> before;
};

}  // namespace

class MoveWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlsAtLoad();
    void optionsSwitchSides();
    void browseFillsOrEmptiesText();
    void movesIntoPreparedWorkingFolder();
    void movesIntoOtherFolder_data();
    void movesIntoOtherFolder();
    void filesAppearingDuringTheMoveStayInTheSource_data();
    void filesAppearingDuringTheMoveStayInTheSource();
    void noAtConfirmationChangesNothing();
    void sameFolderIsRefused_data();
    void sameFolderIsRefused();
    void missingSourceOrDestination_data();
    void missingSourceOrDestination();
    void nameClashMovesNothing();
    void transferFailingHalfwayLosesNothing_data();
    void transferFailingHalfwayLosesNothing();
    void bigMoveStaysResponsiveAndCannotBeClosed();
    void runsModally();
};

void MoveWindowTest::controlsAtLoad() {
    Fixture f;
    Form* form = f.open();
    QCOMPARE(form->windowTitle(), QStringLiteral("フォルダの移動"));
    QCOMPARE(f.control<QLabel>("Label1")->text(),
             QStringLiteral("フォルダの移動先を指定してください。"));
    // The source, shortened in the middle only when it does not fit.
    const QString shown = f.control<QLabel>("Label2")->text();
    QCOMPARE(f.control<QLabel>("Label2")->toolTip(), f.source);
    QVERIFY(shown == f.source || (shown.contains(QChar(0x2026)) && shown.endsWith("/Editor")));
    QCOMPARE(f.control<QRadioButton>("Option1")->text(),
             QStringLiteral("リスト登録されているフォルダ"));
    QCOMPARE(f.control<QRadioButton>("Option2")->text(), QStringLiteral("上記以外のフォルダ"));
    QCOMPARE(f.control<QPushButton>("Command1")->text(), QStringLiteral("移 動"));
    QCOMPARE(f.control<QPushButton>("Command2")->text(), QStringLiteral("開く"));
    QVERIFY(f.control<QRadioButton>("Option1")->isChecked());
    QVERIFY(f.control<QListWidget>("List1")->isEnabled());
    QVERIFY(f.control<QLineEdit>("Text1")->isEnabled());
    QVERIFY(f.control<QPushButton>("Command2")->isEnabled());
    auto* check = f.control<QCheckBox>("Check1");
    QVERIFY(!check->isVisible());
    QVERIFY(!check->isChecked());

    // Every prepared working folder, the current one included, in the order of the list folders.
    QStringList rows;
    auto* list = f.control<QListWidget>("List1");
    for (int i = 0; i < list->count(); ++i) {
        rows.append(list->item(i)->text());
    }
    QCOMPARE(rows, (QStringList{f.apps, f.work}));
    QVERIFY(f.env.prompt.messages.isEmpty());
}

void MoveWindowTest::optionsSwitchSides() {
    Fixture f;
    f.open();
    f.control<QRadioButton>("Option2")->click();
    QVERIFY(f.control<QRadioButton>("Option2")->isChecked());
    QVERIFY(!f.control<QListWidget>("List1")->isEnabled());
    QVERIFY(f.control<QLineEdit>("Text1")->isEnabled());
    QVERIFY(f.control<QPushButton>("Command2")->isEnabled());
    f.control<QRadioButton>("Option1")->click();
    QVERIFY(f.control<QRadioButton>("Option1")->isChecked());
    QVERIFY(f.control<QListWidget>("List1")->isEnabled());
    QVERIFY(!f.control<QLineEdit>("Text1")->isEnabled());
    QVERIFY(!f.control<QPushButton>("Command2")->isEnabled());
}

void MoveWindowTest::browseFillsOrEmptiesText() {
    Fixture f;
    f.open();
    f.env.prompt.folders = {f.elsewhere + "/", QString()};
    f.control<QPushButton>("Command2")->click();
    QCOMPARE(f.control<QLineEdit>("Text1")->text(), f.elsewhere);
    // What was browsed to is the destination, not the list's row.
    QVERIFY(f.control<QRadioButton>("Option2")->isChecked());
    QCOMPARE(f.env.prompt.chooserTitles,
             QStringList{QStringLiteral("対象となるフォルダを指定してください。")});
    f.control<QPushButton>("Command2")->click();  // cancelled
    QVERIFY(f.control<QLineEdit>("Text1")->text().isEmpty());
}

void MoveWindowTest::movesIntoPreparedWorkingFolder() {
    Fixture f;
    f.open();
    f.chooseWorkingFolder(f.apps);
    f.clickMove();

    QCOMPARE(f.env.prompt.texts(), QStringList{kConfirm});
    QCOMPARE(f.env.prompt.messages.first().flags, int(MsgYesNo));
    QVERIFY(!f.isOpen());
    QCOMPARE(filesBelow(f.apps + "/Editor"), f.before);
    QVERIFY(QFileInfo(f.apps + "/Editor/empty").isDir());
    QVERIFY(!fileSystem().status(f.source).exists());
    QCOMPARE(state().moveSource, f.source);
    QCOMPARE(state().moveTarget, f.apps);
    QVERIFY(state().newFolderPending);

    const FileOperation& op = state().fileOp;
    QCOMPARE(op.wFunc, 1u);
    QCOMPARE(op.fFlags, 0x14u);
    QCOMPARE(op.pFrom, f.source + "/*.*" + QString(2, QChar(u'\0')));
    QCOMPARE(op.pTo, f.apps + "/Editor" + QString(2, QChar(u'\0')));
}

void MoveWindowTest::movesIntoOtherFolder_data() {
    QTest::addColumn<bool>("crossDevice");
    QTest::addColumn<QString>("folder");  // below the test's root; "" for another file system
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("name");
    QTest::newRow("rename") << false << "elsewhere"
                            << ""
                            << "Editor";
    QTest::newRow("across file systems, trailing separator") << true << "elsewhere"
                                                             << "/"
                                                             << "Editor";
    // Only the letter case differs from the working folder: another folder here.
    QTest::newRow("working folder's name in upper case") << false << "SOFT"
                                                         << ""
                                                         << "Editor";
    QTest::newRow("other file system") << false << ""
                                       << ""
                                       << "Editor";
    const QString shiftJis = textFromNameBytes("\x83\x5c\x83\x74\x83\x67");
    QTest::newRow("name not text, rename") << false << "elsewhere"
                                           << "" << shiftJis;
    QTest::newRow("name not text, other file system") << false << ""
                                                      << "" << shiftJis;
}

void MoveWindowTest::movesIntoOtherFolder() {
    QFETCH(bool, crossDevice);
    QFETCH(QString, folder);
    QFETCH(QString, suffix);
    QFETCH(QString, name);
    Fixture f(name);
    std::unique_ptr<QTemporaryDir> other;
    QString destination = f.env.root() + u'/' + folder;
    if (folder.isEmpty()) {
        QString reason;
        const QString base = test::otherFileSystemFolder(f.env.root(), &reason);
        if (base.isEmpty()) {
            QSKIP(qPrintable("no second file system: " + reason));
        }
        other = std::make_unique<QTemporaryDir>(base + "/qm-test-XXXXXX");
        destination = other->path();
    }
    QDir().mkpath(destination);
    test::FileSystemFault fault;
    fault.crossDevice = crossDevice;
    const test::ScopedFileSystemFault guard(fault);
    f.open();
    f.chooseOtherFolder(destination + suffix);
    f.clickMove();

    QCOMPARE(f.env.prompt.texts(), QStringList{kConfirm});
    QVERIFY(!f.isOpen());
    const QMap<QString, QByteArray> arrived = filesBelow(destination + u'/' + name);
    if (other) {
        test::removeTree(destination + u'/' + name);
    }
    QCOMPARE(arrived, f.before);
    // By the name's bytes: a name that is not text would never be found as text.
    QVERIFY(!fileSystem().status(f.source).exists());
    QCOMPARE(state().moveSource, f.source);
    QCOMPARE(state().moveTarget, QStringLiteral("E"));
    QVERIFY(state().newFolderPending);
}

void MoveWindowTest::filesAppearingDuringTheMoveStayInTheSource_data() {
    QTest::addColumn<bool>("crossDevice");
    QTest::newRow("rename") << false;
    QTest::newRow("across file systems") << true;
}

void MoveWindowTest::filesAppearingDuringTheMoveStayInTheSource() {
    QFETCH(bool, crossDevice);
    Fixture f;
    test::FileSystemFault fault;
    fault.crossDevice = crossDevice;
    // The program still running writes its settings while its folder is being moved (the
    // third look at a path comes when the first entry is being moved).
    int looks = 0;
    fault.refuses = [&](const QString&) {
        if (++looks == 3) {
            f.env.writeFile("soft/Editor/settings.ini", "written meanwhile");
        }
        return false;
    };
    {
        const test::ScopedFileSystemFault guard(fault);
        f.open();
        f.chooseWorkingFolder(f.apps);
        f.clickMove();
    }
    QCOMPARE(f.env.prompt.texts(), (QStringList{kConfirm, kFilesLeft + f.source}));
    QVERIFY(!f.isOpen());
    QCOMPARE(filesBelow(f.apps + "/Editor"), f.before);
    QCOMPARE(filesBelow(f.source),
             (QMap<QString, QByteArray>{{"settings.ini", "written meanwhile"}}));
    // The folder did move: the catalogue follows it.
    QCOMPARE(state().moveTarget, f.apps);
}

void MoveWindowTest::noAtConfirmationChangesNothing() {
    Fixture f;
    f.open();
    f.chooseWorkingFolder(f.apps);
    f.clickMove(false);
    QVERIFY(f.isOpen());
    QCOMPARE(filesBelow(f.source), f.before);
    QVERIFY(!QFileInfo::exists(f.apps + "/Editor"));
    f.closeWindow();
    QVERIFY(state().moveSource.isEmpty());
    QVERIFY(state().moveTarget.isEmpty());
    QVERIFY(!state().newFolderPending);
}

void MoveWindowTest::sameFolderIsRefused_data() {
    QTest::addColumn<int>("how");  // 0 List1 row, 1 through a link, 2 inside source
    QTest::newRow("working folder from the list") << 0;
    QTest::newRow("working folder through a link") << 1;
    QTest::newRow("a folder inside the source") << 2;
}

void MoveWindowTest::sameFolderIsRefused() {
    QFETCH(int, how);
    Fixture f;
    QVERIFY(QFile::link(f.work, f.env.root() + "/linked"));
    f.open();
    if (how == 0) {
        f.chooseWorkingFolder(f.work);
    } else if (how == 1) {
        f.chooseOtherFolder(f.env.root() + "/linked");
    } else {
        f.chooseOtherFolder(f.source + "/plugins");
    }
    f.clickMove();

    QCOMPARE(f.env.prompt.texts(), (QStringList{kConfirm, kSame}));
    QVERIFY(f.isOpen());
    QCOMPARE(filesBelow(f.source), f.before);
    QVERIFY(!QFileInfo::exists(f.env.root() + "/linked/Editor/Editor"));
    QVERIFY(!QFileInfo::exists(f.source + "/plugins/Editor"));
    // The catalogue must keep the entry when the window is now closed.
    QVERIFY(state().moveTarget.isEmpty());
    QVERIFY(!state().newFolderPending);
    f.closeWindow();
    QVERIFY(state().moveSource.isEmpty());
}

void MoveWindowTest::missingSourceOrDestination_data() {
    QTest::addColumn<QString>("case_");
    QTest::newRow("source missing") << "source";
    QTest::newRow("no row selected") << "norow";
    QTest::newRow("typed folder missing") << "typed";
    QTest::newRow("empty text") << "empty";
    QTest::newRow("relative path") << "relative";
    QTest::newRow("listed working folder gone") << "gone";
}

void MoveWindowTest::missingSourceOrDestination() {
    QFETCH(QString, case_);
    Fixture f;
    if (case_ == "source") {
        state().moveSource = f.work + "/Gone";
    }
    f.open();
    if (case_ == "source") {
        f.chooseWorkingFolder(f.apps);
    } else if (case_ == "typed") {
        f.chooseOtherFolder(f.env.root() + "/nowhere");
    } else if (case_ == "empty") {
        f.chooseOtherFolder(QString());
    } else if (case_ == "relative") {
        f.chooseOtherFolder(QStringLiteral("elsewhere"));
    } else if (case_ == "gone") {
        f.chooseWorkingFolder(f.apps);
        QVERIFY(QDir(f.apps).removeRecursively());
    }
    f.clickMove();

    QCOMPARE(f.env.prompt.texts(), (QStringList{kConfirm, kMissing}));
    QCOMPARE(f.env.prompt.messages.last().flags, int(MsgOkOnly));
    QVERIFY(!f.isOpen());
    QVERIFY(state().moveSource.isEmpty());
    QVERIFY(state().moveTarget.isEmpty());
    QVERIFY(!state().newFolderPending);
    if (case_ != "source") {
        QCOMPARE(filesBelow(f.source), f.before);
    }
}

void MoveWindowTest::nameClashMovesNothing() {
    Fixture f;
    f.env.writeFile("apps/Editor/theirs.txt", "other program");
    f.open();
    f.chooseWorkingFolder(f.apps);
    f.clickMove();

    QCOMPARE(f.env.prompt.texts(), (QStringList{kConfirm, kClash}));
    QVERIFY(f.isOpen());
    QCOMPARE(filesBelow(f.source), f.before);
    QCOMPARE(filesBelow(f.apps + "/Editor").keys(), QStringList{"theirs.txt"});
    QVERIFY(state().moveTarget.isEmpty());
    QVERIFY(!state().newFolderPending);

    // Another destination works from the same window.
    f.chooseOtherFolder(f.elsewhere);
    f.clickMove();
    QVERIFY(!f.isOpen());
    QCOMPARE(filesBelow(f.elsewhere + "/Editor"), f.before);
    QCOMPARE(state().moveTarget, QStringLiteral("E"));
}

void MoveWindowTest::transferFailingHalfwayLosesNothing_data() {
    QTest::addColumn<bool>("putBackFails");
    QTest::newRow("put back") << false;
    QTest::newRow("putting back fails too, the next move finishes") << true;
}

void MoveWindowTest::transferFailingHalfwayLosesNothing() {
    QFETCH(bool, putBackFails);
    Fixture f;
    test::FileSystemFault fault;
    fault.crossDevice = true;
    const QString refused =
        f.source + (putBackFails ? QString("/plugins") : QString("/plugins/spell/dict.dat"));
    const QString readme = f.source + "/readme.txt";
    // Once the emptied folder is refused, the file it is to put back is refused too.
    auto armed = std::make_shared<bool>(false);
    fault.refuses = [=](const QString& p) {
        *armed = *armed || (putBackFails && p == refused);
        return p == refused || (*armed && p == readme);
    };
    const QString destination = f.apps + "/Editor";
    {
        const test::ScopedFileSystemFault guard(fault);
        f.open();
        f.chooseWorkingFolder(f.apps);
        f.clickMove();
    }
    QCOMPARE(f.env.prompt.texts().size(), 2);
    const QString message = f.env.prompt.texts().at(1);
    QVERIFY2(message.contains(refused), qPrintable(message));
    QVERIFY(f.isOpen());
    QVERIFY(state().moveTarget.isEmpty());
    QVERIFY(!state().newFolderPending);
    if (!putBackFails) {
        QVERIFY2(message.contains("元に戻しました"), qPrintable(message));
        QCOMPARE(filesBelow(f.source), f.before);
        QVERIFY(!QFileInfo::exists(destination));
        f.closeWindow();
        QVERIFY(state().moveSource.isEmpty());
        return;
    }
    // Both folders are named, and what arrived is listed.
    QVERIFY2(message.contains(destination), qPrintable(message));
    QVERIFY2(message.contains("editor.exe"), qPrintable(message));
    // The next move of the folder into the same place finishes the job.
    f.env.prompt.clear();
    f.clickMove();
    QCOMPARE(f.env.prompt.texts(), QStringList{kConfirm});
    QVERIFY(!f.isOpen());
    QCOMPARE(filesBelow(destination), f.before);
    QVERIFY(!QFileInfo::exists(f.source));
}

void MoveWindowTest::bigMoveStaysResponsiveAndCannotBeClosed() {
    Fixture f;
    for (int i = 0; i < 60; ++i) {
        f.env.writeFile(QStringLiteral("soft/Editor/many/f%1").arg(i), "data");
    }
    f.before = filesBelow(f.source);
    int timerTicks = 0;
    bool busyCursorSeen = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++timerTicks;
        busyCursorSeen =
            busyCursorSeen || (QApplication::overrideCursor() &&
                               QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        WindowRegistry::instance().unload(WindowKind::Move);  // refused while busy
    });
    test::FileSystemFault fault;
    fault.crossDevice = true;
    fault.refuses = [&](const QString&) {
        if (!ticker.isActive()) {
            ticker.start(1);
        }
        QThread::msleep(1);
        return false;
    };
    {
        const test::ScopedFileSystemFault guard(fault);
        f.open();
        f.chooseWorkingFolder(f.apps);
        f.clickMove();
    }
    ticker.stop();
    QVERIFY(timerTicks > 0);
    QVERIFY(busyCursorSeen);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(f.env.prompt.texts(), QStringList{kConfirm});
    QVERIFY(!f.isOpen());
    QCOMPARE(filesBelow(f.apps + "/Editor"), f.before);
    QCOMPARE(state().moveTarget, f.apps);
}

void MoveWindowTest::runsModally() {
    Fixture f;
    bool drove = false;
    QTimer::singleShot(0, [&] {
        QVERIFY(test::waitFor([&] { return f.isOpen(); }));
        f.chooseOtherFolder(f.elsewhere);
        f.env.prompt.answers.append(AnswerYes);
        f.control<QPushButton>("Command1")->click();
        drove = true;
    });
    WindowRegistry::instance().showModal(WindowKind::Move);
    QVERIFY(drove);
    QVERIFY(!f.isOpen());
    QCOMPARE(state().moveTarget, QStringLiteral("E"));
    QCOMPARE(filesBelow(f.elsewhere + "/Editor"), f.before);
}

QTEST_MAIN(MoveWindowTest)
#include "tst_movewindow.moc"
