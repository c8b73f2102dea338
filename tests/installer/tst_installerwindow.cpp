// The installer window: drops, installation outcomes, the setup program question, the menu
// shortcut, leaving, and the progress shown while a large archive is extracted.

#include <QDir>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <archive.h>
#include <archive_entry.h>

#include "app/helpers.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "installer/installerwindows.h"
#include "platform/paths.h"
#include "support/testenvironment.h"

using namespace qm;
using qm::test::ScriptedForm;
using qm::test::TestEnvironment;
using qm::test::waitFor;

namespace {

const QString kCaption = QStringLiteral("Quillmorn - インストーラー");
const QString kClash =
    QStringLiteral("重複した名前が存在します。既にインストールされている可能性があります。");
const QString kSetupQuestion = QStringLiteral(
    "このアーカイブには Setup.exe（特有のインストーラー）が含まれています。\n"
    "セットアップを起動しますか？");

QString fixture(const QString& name) {
    return QStringLiteral(QM_TEST_DATA "/installer/") + name;
}

// A test world with a working folder, the installer registered and stand-ins for the windows it
// hands over to.
struct World {
    TestEnvironment env;
    QString work;

    World() : work(env.makeFolder("apps")) {
        state().workFolder = work;
        registerInstallerWindows();
        auto& registry = WindowRegistry::instance();
        registry.setFactory(WindowKind::Catalogue,
                            [] { return new ScriptedForm(WindowKind::Catalogue, {}, true); });
        registry.setFactory(WindowKind::MainMenu,
                            [] { return new ScriptedForm(WindowKind::MainMenu, {}, true); });
    }

    Form* open() {
        Form* form = WindowRegistry::instance().show(WindowKind::Installer);
        waitFor([] { return true; }, 10);
        return form;
    }

    // An archive copied into the test folder under another name.
    QString archive(const QString& fixtureName, const QString& as) const {
        const QString path = env.root() + "/in/" + as;
        QDir().mkpath(env.root() + "/in");
        QFile::remove(path);
        QFile::copy(fixture(fixtureName), path);
        return path;
    }
};

// Every path below folder, relative and sorted.
QStringList tree(const QString& folder) {
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        paths.append(QDir(folder).relativeFilePath(it.next()));
    }
    paths.sort();
    return paths;
}

template <typename T>
T* child(Form* form, const char* name) {
    T* widget = form->findChild<T*>(QLatin1String(name));
    if (!widget) {
        qFatal("no control %s", name);
    }
    return widget;
}

QString text(Form* form, const char* name) {
    return child<QLabel>(form, name)->text();
}

void click(Form* form, const char* name) {
    QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
}

void dropFiles(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return;
    }
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

void dropFiles(QWidget* target, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    dropFiles(target, urls);
}

// A deflated ZIP of `files` files of `megabytes` MB of text each: quick to read, slow to write.
QString bigZip(const QString& path, int files, int megabytes) {
    archive* out = archive_write_new();
    archive_write_set_format_zip(out);
    archive_write_open_filename(out, QFile::encodeName(path).constData());
    const QByteArray block = QByteArray("0123456789abcdef").repeated(megabytes * 65536);
    for (int i = 0; i < files; ++i) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry,
                                   QByteArray("data/file" + QByteArray::number(i)).constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, block.size());
        archive_write_header(out, entry);
        archive_write_data(out, block.constData(), static_cast<size_t>(block.size()));
        archive_entry_free(entry);
    }
    archive_write_free(out);
    return path;
}

}  // namespace

class InstallerWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controls();
    void drop_data();
    void drop();
    void dropIsTakenAsCopy();
    void chooserOnClickAndEnter();
    void openedFileIsChosen();
    void clashKeepsPreviousChoice();
    void otherDragsAreIgnored();
    void installWithoutArchive();
    void installHandsOverToCatalogue_data();
    void installHandsOverToCatalogue();
    void failedInstallKeepsWindow();
    void programFile_data();
    void programFile();
    void setupProgram_data();
    void setupProgram();
    void registerShortcut();
    void registerShortcutFailure();
    void backToMenu();
    void closing_data();
    void closing();
    void progressWhileExtracting();
    void cancelWhileExtracting_data();
    void cancelWhileExtracting();
};

void InstallerWindowTest::controls() {
    World world;
    Form* form = world.open();
    QCOMPARE(form->windowTitle(), kCaption);
    QCOMPARE(text(form, "Label3"), QStringLiteral("←こちらに"));
    QCOMPARE(text(form, "Label2"), QStringLiteral(".LZH .ZIPファイルを"));
    QCOMPARE(text(form, "Label4"),
             QStringLiteral("ドラッグアンドドロップしてインストールを押してください。"));
    QCOMPARE(text(form, "Label6"), QStringLiteral("⇒"));
    QCOMPARE(text(form, "Label1"), QString());
    QCOMPARE(text(form, "Label5"), world.work);
    QCOMPARE(child<QPushButton>(form, "Command1")->text(), QStringLiteral("インストール"));
    QCOMPARE(child<QPushButton>(form, "Command2")->text(),
             QStringLiteral("インストーラーをプログラムに登録"));
    QCOMPARE(
        child<QPushButton>(form, "Command2")->toolTip(),
        QStringLiteral("アプリケーションメニューにインストーラーのショートカットを登録する。"));
    QCOMPARE(child<QPushButton>(form, "Command3")->text(), QStringLiteral("メニューに戻る"));
    QVERIFY(!child<QProgressBar>(form, "progressBar")->isVisible());
    // Image1 lies inside Picture1, which is 1575 twips square.
    QWidget* picture = child<QWidget>(form, "Picture1");
    QCOMPARE(child<QLabel>(form, "Image1")->parentWidget(), picture);
    QCOMPARE(picture->width(), qRound(1575 * form->logicalDpiX() / 1440.0));
}

void InstallerWindowTest::drop_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("folder");   // "" when the file is refused
    QTest::addColumn<QString>("refusal");  // part of the message that says why
    QTest::newRow("mixed case lzh") << QStringList{"/in/Tool.Lzh"} << "Picture1"
                                    << "Tool"
                                    << "";
    QTest::newRow("zip on the image") << QStringList{"/in/v1.2 tool.ZIP"} << "Image1"
                                      << "v1.2 tool"
                                      << "";
    QTest::newRow("first of two") << QStringList{"/in/a.zip", "/in/b.lzh"} << "Picture1"
                                  << "a"
                                  << "";
    QTest::newRow("second one is ignored") << QStringList{"/in/a.txt", "/in/b.lzh"} << "Picture1"
                                           << ""
                                           << "インストールできません";
    // Neither an extension nor, as the file is not there, an archive's signature.
    QTest::newRow("no dot") << QStringList{"/in/toolzip"} << "Picture1"
                            << ""
                            << "インストールできません";
    QTest::newRow("extension alone") << QStringList{"/in/.zip"} << "Picture1"
                                     << ""
                                     << "フォルダ名を決められません";
    QTest::newRow("other extension") << QStringList{"/in/tool.gz"} << "Image1"
                                     << ""
                                     << "インストールできません";
    QTest::newRow("hidden") << QStringList{"/in/.tool.lzh"} << "Picture1"
                            << ".tool"
                            << "";
    QTest::newRow("rar") << QStringList{"/in/tool.rar"} << "Image1"
                         << "tool"
                         << "";
    QTest::newRow("compound extension") << QStringList{"/in/Tool-1.0.TAR.GZ"} << "Picture1"
                                        << "Tool-1.0"
                                        << "";
    QTest::newRow("short compound extension") << QStringList{"/in/tool.tbz2"} << "Picture1"
                                              << "tool"
                                              << "";
    // The folder's name is trimmed as its path is: the clash test and the extraction agree.
    QTest::newRow("trailing blank") << QStringList{"/in/Tool .lzh"} << "Picture1"
                                    << "Tool"
                                    << "";
    QTest::newRow("trailing dots and blanks") << QStringList{"/in/Tool. ..zip"} << "Picture1"
                                              << "Tool"
                                              << "";
}

void InstallerWindowTest::drop() {
    QFETCH(QStringList, files);
    QFETCH(QString, target);
    QFETCH(QString, folder);
    QFETCH(QString, refusal);
    World world;
    Form* form = world.open();
    dropFiles(child<QWidget>(form, qPrintable(target)), files);
    QCOMPARE(world.env.prompt.texts().size(), refusal.isEmpty() ? 0 : 1);
    QVERIFY(refusal.isEmpty() || world.env.prompt.texts()[0].contains(refusal));
    QCOMPARE(text(form, "Label1"), folder.isEmpty() ? QString() : files.first());
    QCOMPARE(text(form, "Label5"), folder.isEmpty() ? world.work : world.work + "/" + folder);
}

void InstallerWindowTest::dropIsTakenAsCopy() {
    World world;
    Form* form = world.open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/in/a.zip")});
    // A file manager that proposes a move deletes the archive once the drop is accepted so.
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(child<QWidget>(form, "Picture1"), &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(child<QWidget>(form, "Picture1"), &drop);
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QCOMPARE(text(form, "Label1"), QStringLiteral("/in/a.zip"));
}

void InstallerWindowTest::chooserOnClickAndEnter() {
    World world;
    Form* form = world.open();
    auto* box = child<QWidget>(form, "Picture1");
    world.env.prompt.files = {"/in/tool.tar.xz"};
    // On the picture inside the box, as a user would click.
    QTest::mouseClick(child<QWidget>(form, "Image1"), Qt::LeftButton);
    QCOMPARE(text(form, "Label1"), QStringLiteral("/in/tool.tar.xz"));
    QCOMPARE(text(form, "Label5"), world.work + "/tool");
    QVERIFY(world.env.prompt.fileFilters.value(0).contains("*.tar.xz"));
    // Enter opens it too; a cancelled chooser changes nothing.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(world.env.prompt.fileFilters.size(), 2);
    QCOMPARE(text(form, "Label1"), QStringLiteral("/in/tool.tar.xz"));
    QVERIFY(world.env.prompt.messages.isEmpty());
}

void InstallerWindowTest::openedFileIsChosen() {
    World world;
    state().pendingInstallFile = "/in/Tool.zip";
    Form* form = world.open();
    QCOMPARE(text(form, "Label1"), QStringLiteral("/in/Tool.zip"));
    QCOMPARE(text(form, "Label5"), world.work + "/Tool");
    QCOMPARE(state().pendingInstallFile, QString());
}

void InstallerWindowTest::clashKeepsPreviousChoice() {
    World world;
    world.env.makeFolder("apps/x");
    world.env.makeFolder("apps/Tool");
    Form* form = world.open();
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{"/in/first.lzh"});
    const QString refusedName = QStringLiteral(
        "このファイル名からはフォルダ名を作れません（制御文字が含まれています）。ファイル名を変えて"
        "か"
        "らもう一度指定してください。");
    const QString refusedPath = QStringLiteral(
        "このパスは解凍に使えません（「\"」の後に空白が続いています）。ファイルかフォルダの名前を変"
        "えてからもう一度指定してください。");
    const QString noName = QStringLiteral(
        "このファイル名には拡張子の前に名前がないので、フォルダ名を決められません。ファイル名を変"
        "えてからもう一度指定してください。");
    const QList<QPair<QString, QString>> refusals{
        {"/in/x.zip", kClash},
        {"/in/...zip", noName},
        // Extracted, a trailing blank would have merged into the folder "Tool".
        {"/in/Tool .zip", kClash},
        {"/in/tool.7z", kClash},
        {"/in/a\tb.zip", refusedName},
        {"/in/a\" \"b.zip", refusedPath}};
    for (const auto& [clash, message] : refusals) {
        world.env.prompt.clear();
        dropFiles(child<QWidget>(form, "Image1"), QStringList{clash});
        QCOMPARE(world.env.prompt.texts(), QStringList{message});
        QCOMPARE(world.env.prompt.messages[0].flags, 0);
        QCOMPARE(world.env.prompt.messages[0].title, QString());
        QCOMPARE(text(form, "Label1"), QStringLiteral("/in/first.lzh"));
        QCOMPARE(text(form, "Label5"), world.work + "/first");
    }
}

void InstallerWindowTest::otherDragsAreIgnored() {
    World world;
    Form* form = world.open();
    dropFiles(child<QWidget>(form, "Picture1"), QList<QUrl>{QUrl("https://example.org/a.zip")});
    QMimeData data;
    data.setText("/in/a.zip");
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(child<QWidget>(form, "Picture1"), &enter);
    QVERIFY(!enter.isAccepted());
    QCOMPARE(text(form, "Label1"), QString());
    QVERIFY(world.env.prompt.messages.isEmpty());
}

void InstallerWindowTest::installWithoutArchive() {
    World world;
    Form* form = world.open();
    click(form, "Command1");
    QCOMPARE(world.env.prompt.texts(), QStringList{"適切なファイルを指定してください。"});
    QCOMPARE(world.env.prompt.messages[0].title, QString());
    QVERIFY(form->isVisible());
    QVERIFY(!state().newFolderPending);
}

void InstallerWindowTest::installHandsOverToCatalogue_data() {
    QTest::addColumn<QString>("fixtureName");
    QTest::addColumn<QString>("droppedAs");
    QTest::addColumn<QString>("folder");
    QTest::newRow("lzh") << "lh5.lzh"
                         << "Tool.Lzh"
                         << "Tool";
    QTest::newRow("zip with spaces") << "deflate.zip"
                                     << "my tool v1.0.zip"
                                     << "my tool v1.0";
    QTest::newRow("trailing blank") << "deflate.zip"
                                    << "Tool .zip"
                                    << "Tool";
    QTest::newRow("7z in one folder") << "nested.7z"
                                      << "tool.7z"
                                      << "tool";
    QTest::newRow("tar.gz") << "gzip.tar.gz"
                            << "Tool.tar.gz"
                            << "Tool";
    // No extension: taken by the archive's signature, under its whole name.
    QTest::newRow("lzh named without a dot") << "lh5.lzh"
                                             << "archiveLZH"
                                             << "archiveLZH";
    QTest::newRow("7z without extension") << "nested.7z"
                                          << "tool"
                                          << "tool";
}

void InstallerWindowTest::installHandsOverToCatalogue() {
    QFETCH(QString, fixtureName);
    QFETCH(QString, droppedAs);
    QFETCH(QString, folder);
    World world;
    Form* form = world.open();
    QPointer<Form> installer(form);
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{world.archive(fixtureName, droppedAs)});
    click(form, "Command1");
    QVERIFY(world.env.prompt.messages.isEmpty());
    QVERIFY(QFileInfo::exists(world.work + "/" + folder + "/bin/data.txt"));
    QCOMPARE(tree(world.work), (QStringList{folder, folder + "/bin", folder + "/bin/data.txt",
                                            folder + "/readme.txt"}));
    QCOMPARE(state().newFolderName, folder);
    QVERIFY(state().newFolderPending);
    QVERIFY(WindowRegistry::instance().isVisible(WindowKind::Catalogue));
    QVERIFY(waitFor([&] { return installer.isNull(); }));
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Installer));
    QCOMPARE(world.env.endCount, 0);
}

void InstallerWindowTest::failedInstallKeepsWindow() {
    World world;
    Form* form = world.open();
    const QString archive = world.archive("corrupt.lzh", "broken.lzh");
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{archive});
    click(form, "Command1");
    // One message, naming the cause.
    QCOMPARE(world.env.prompt.texts().size(), 1);
    QVERIFY(world.env.prompt.texts()[0].startsWith("解凍に失敗しました。No.5\nアーカイブが壊れて"));
    QVERIFY(form->isVisible());
    QCOMPARE(text(form, "Label1"), archive);
    QCOMPARE(text(form, "Label5"), world.work + "/broken");
    QVERIFY(!QFileInfo::exists(world.work + "/broken"));
    QCOMPARE(QDir(world.work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{});
    QVERIFY(!state().newFolderPending);
    QVERIFY(state().newFolderName.isEmpty());
    QVERIFY(child<QPushButton>(form, "Command1")->isEnabled());
    // The same archive can be tried again once it is repaired.
    QFile::remove(archive);
    QFile::copy(fixture("lh0.lzh"), archive);
    world.env.prompt.clear();
    click(form, "Command1");
    QVERIFY(world.env.prompt.messages.isEmpty());
    QCOMPARE(state().newFolderName, QStringLiteral("broken"));
}

void InstallerWindowTest::programFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("executable");
    QTest::newRow("exe") << "Tool.exe" << false;
    QTest::newRow("AppImage") << "Tool.AppImage" << true;
}

void InstallerWindowTest::programFile() {
    QFETCH(QString, file);
    QFETCH(bool, executable);
    World world;
    Form* form = world.open();
    const QString path = world.env.writeFile("in/" + file, "MZ program");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{path});
    click(form, "Command1");
    QVERIFY(world.env.prompt.messages.isEmpty());
    const QString copy = world.work + "/Tool/" + file;
    QCOMPARE(TestEnvironment::readFile(copy), QByteArray("MZ program"));
    QCOMPARE(QFileInfo(copy).isExecutable(), executable);
    QCOMPARE(bool(QFile::permissions(copy) & QFile::ExeGroup), executable);
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(state().newFolderName, QStringLiteral("Tool"));
    QVERIFY(WindowRegistry::instance().isVisible(WindowKind::Catalogue));
}

void InstallerWindowTest::setupProgram_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<bool>("ends");
    QTest::newRow("yes") << int(AnswerYes) << true << true;
    QTest::newRow("no") << int(AnswerNo) << true << false;
    QTest::newRow("yes but it cannot start") << int(AnswerYes) << false << false;
}

void InstallerWindowTest::setupProgram() {
    QFETCH(int, answer);
    QFETCH(bool, startSucceeds);
    QFETCH(bool, ends);
    World world;
    world.env.prompt.answers = {answer};
    world.env.launcher.startSucceeds = startSucceeds;
    Form* form = world.open();
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{world.archive("setup.zip", "app.zip")});
    click(form, "Command1");
    const QString folder = world.work + "/app";
    QVERIFY(world.env.prompt.messages.size() >= 1);
    QCOMPARE(world.env.prompt.messages[0].text, kSetupQuestion);
    QCOMPARE(world.env.prompt.messages[0].flags, 4);
    if (answer == AnswerYes) {
        QCOMPARE(world.env.launcher.started.size(), 1);
        QCOMPARE(world.env.launcher.started[0].program, folder + "/Setup.exe");
        QCOMPARE(world.env.launcher.started[0].arguments, QStringList{});
    } else {
        QVERIFY(world.env.launcher.started.isEmpty());
    }
    QCOMPARE(world.env.endCount, ends ? 1 : 0);
    if (ends) {
        QCOMPARE(world.env.prompt.messages.size(), 1);
        QVERIFY(!state().newFolderPending);
        return;
    }
    // Not started: said so when it was asked for, and on to the catalogue.
    QCOMPARE(world.env.prompt.messages.size(), startSucceeds ? 1 : 2);
    if (!startSucceeds) {
        QVERIFY(world.env.prompt.messages[1].text.startsWith(
            QStringLiteral("セットアップを起動できませんでした。")));
    }
    QCOMPARE(state().newFolderName, QStringLiteral("app"));
    QVERIFY(state().newFolderPending);
    QVERIFY(WindowRegistry::instance().isVisible(WindowKind::Catalogue));
}

void InstallerWindowTest::registerShortcut() {
    World world;
    Form* form = world.open();
    click(form, "Command2");
    QCOMPARE(world.env.prompt.texts(), QStringList{"作成しました。"});
    const QString link = applicationsFolder() + "/apps にインストール.desktop";
    QVERIFY2(QFileInfo::exists(link), qPrintable(link));
    const QString entry = QString::fromUtf8(TestEnvironment::readFile(link));
    const QString executable = programExecutable();
    QVERIFY(entry.contains("Exec=" + executable + " -i " + world.work + "\n"));
    QVERIFY(entry.contains("Path=" + parentFolder(QFileInfo(executable).absolutePath()) + "\n"));
    QVERIFY(form->isVisible());
}

void InstallerWindowTest::registerShortcutFailure() {
    World world;
    // The menu folder's place is taken by a file.
    QDir().mkpath(QFileInfo(applicationsFolder()).absolutePath());
    QFile blocker(applicationsFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Form* form = world.open();
    click(form, "Command2");
    QCOMPARE(
        world.env.prompt.texts(),
        QStringList{"正常にプロセスできませんでした。ショートカットとそのフォルダに書き込めるか"
                    "確かめてください。"});
    QVERIFY(form->isVisible());
}

void InstallerWindowTest::backToMenu() {
    World world;
    QPointer<Form> form(world.open());
    click(form, "Command3");
    QVERIFY(WindowRegistry::instance().isVisible(WindowKind::MainMenu));
    QVERIFY(waitFor([&] { return form.isNull(); }));
    QCOMPARE(world.env.endCount, 0);
    QVERIFY(!state().newFolderPending);
}

void InstallerWindowTest::closing_data() {
    QTest::addColumn<int>("otherWindow");  // -1: none
    QTest::addColumn<bool>("ends");
    QTest::newRow("alone") << -1 << true;
    QTest::newRow("main menu open") << int(WindowKind::MainMenu) << false;
    QTest::newRow("catalogue open") << int(WindowKind::Catalogue) << false;
}

void InstallerWindowTest::closing() {
    QFETCH(int, otherWindow);
    QFETCH(bool, ends);
    World world;
    if (otherWindow >= 0) {
        WindowRegistry::instance().show(static_cast<WindowKind>(otherWindow));
    }
    Form* form = world.open();
    form->close();
    QCOMPARE(world.env.endCount, ends ? 1 : 0);
}

void InstallerWindowTest::progressWhileExtracting() {
    World world;
    Form* form = world.open();
    QDir().mkpath(world.env.root() + "/in");
    const QString archive = bigZip(world.env.root() + "/in/big.zip", 8, 6);
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{archive});
    auto* bar = child<QProgressBar>(form, "progressBar");
    auto* install = child<QPushButton>(form, "Command1");
    // Watch the window while the extraction runs: its timers keep firing.
    int ticks = 0;
    bool seenBusy = false;
    int highest = -1;
    QString counts;
    QTimer watcher;
    watcher.setInterval(2);
    connect(&watcher, &QTimer::timeout, [&] {
        ++ticks;
        if (bar->isVisible() && !install->isEnabled()) {
            seenBusy = true;
            highest = qMax(highest, bar->value());
            counts = bar->text().contains(" 個、") ? bar->text() : counts;
        }
    });
    watcher.start();
    click(form, "Command1");
    watcher.stop();
    QVERIFY(seenBusy);
    QVERIFY(ticks > 1);
    QVERIFY(highest <= 1000);
    QVERIFY2(!counts.isEmpty(), "entries and bytes are shown");
    QVERIFY(!bar->isVisible());
    QVERIFY(world.env.prompt.messages.isEmpty());
    // Everything lay in the folder "data", whose contents came out.
    QCOMPARE(QFileInfo(world.work + "/big/file7").size(), qint64(6) << 20);
    QCOMPARE(state().newFolderName, QStringLiteral("big"));
    QCOMPARE(world.env.endCount, 0);
}

void InstallerWindowTest::cancelWhileExtracting_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("cancel button") << false;
    QTest::newRow("close box") << true;
}

void InstallerWindowTest::cancelWhileExtracting() {
    QFETCH(bool, closeBox);
    World world;
    QPointer<Form> form = world.open();
    QDir().mkpath(world.env.root() + "/in");
    const QString archive = bigZip(world.env.root() + "/in/big.zip", 16, 6);
    dropFiles(child<QWidget>(form, "Picture1"), QStringList{archive});
    auto* cancel = child<QPushButton>(form, "cancelButton");
    QTimer watcher;
    watcher.setInterval(2);
    connect(&watcher, &QTimer::timeout, [&] {
        if (form && cancel->isVisible()) {
            closeBox ? (void)form->close() : cancel->click();
        }
    });
    watcher.start();
    click(form, "Command1");
    watcher.stop();
    // Nothing written, nothing said, and the window gone only when its close box was used.
    QVERIFY(world.env.prompt.messages.isEmpty());
    QCOMPARE(QDir(world.work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{});
    QCOMPARE(waitFor([&] { return form.isNull(); }, 1000), closeBox);
}

QTEST_MAIN(InstallerWindowTest)
#include "tst_installerwindow.moc"
