#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/endprogram.h"
#include "app/form.h"
#include "app/language.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/recentlist.h"
#include "app/startup.h"
#include "app/workingfolder.h"
#include "platform/instancelock.h"
#include "platform/paths.h"
#include "platform/portablemode.h"
#include "support/testenvironment.h"

using namespace qm;

namespace {

// A window that counts its load, activations and unload.
class CountingForm : public Form {
public:
    explicit CountingForm(WindowKind kind) : Form(kind) { setWindowTitle("counting"); }
    void load() override { ++loads; }
    void activate() override { ++activations; }
    void unload() override { ++unloads; }
    int loads = 0;
    int activations = 0;
    int unloads = 0;
};

}  // namespace

class TestStartUp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { m_env.reset(); }

    void commandLine_data();
    void commandLine();
    void listFileStartReadsSettings();
    void listFileStartWithoutSettingsOpensMenu();
    void startUpShowsFirstWindow();
    void openWith_data();
    void openWith();
    void unknownArgumentEndsWithoutWindow();
    void secondInstanceIsRefused();
    void staleLockIsTakenOver();
    void portableStartWritesBesideTheExecutable_data();
    void portableStartWritesBesideTheExecutable();
    void unwritablePortableFolderFallsBack_data();
    void unwritablePortableFolderFallsBack();
    void unwritablePreferencesSaidOnce();

    void registryCreatesOnFirstReference();
    void unloadedWindowIsCreatedAfresh();
    void lastWindowClosedEndsProgram();
    void modalWindowReactivatesOwner();
    void activationRunsOncePerShowing();

    void qtOwnTextsAreJapanese();

private:
    std::unique_ptr<test::TestEnvironment> m_env;
    QMap<WindowKind, QPointer<CountingForm>> m_made;
};

void TestStartUp::init() {
    m_env = std::make_unique<test::TestEnvironment>();
    m_made.clear();
    for (WindowKind kind : {WindowKind::MainMenu, WindowKind::Catalogue, WindowKind::Installer,
                            WindowKind::Registration, WindowKind::Links}) {
        WindowRegistry::instance().setFactory(kind, [this, kind] {
            auto* form = new CountingForm(kind);
            m_made[kind] = form;
            return form;
        });
    }
}

void TestStartUp::commandLine_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("window");  // -1: none
    QTest::addColumn<QString>("workFolder");
    QTest::addColumn<QString>("listPart");  // list folder below the program's own folder

    const int installer = int(WindowKind::Installer);
    const int catalogue = int(WindowKind::Catalogue);
    const int menu = int(WindowKind::MainMenu);
    QTest::newRow("-i") << "-i /d/Soft" << installer << "/d/Soft"
                        << "/Soft";
    QTest::newRow("-I upper") << "-I /d/Soft" << installer << "/d/Soft"
                              << "/Soft";
    QTest::newRow("-l") << "-l /d/Soft" << catalogue << "/d/Soft"
                        << "/Soft";
    QTest::newRow("-L with spaces") << "-L /d/My Soft" << catalogue << "/d/My Soft"
                                    << "/My Soft";
    QTest::newRow("-l trailing separator") << "-l /d/Soft/" << catalogue << "/d/Soft"
                                           << "/Soft";
    QTest::newRow("-i trailing separators") << "-i /d/Soft//" << installer << "/d/Soft"
                                            << "/Soft";
    QTest::newRow("-l root") << "-l /" << -1 << ""
                             << "";
    // Nothing to work in: the menu, not a window acting on the file-system root.
    QTest::newRow("-l alone") << "-l" << menu << ""
                              << "";
    QTest::newRow("-i and a space") << "-i " << menu << ""
                                    << "";
    QTest::newRow("none") << "" << menu << ""
                          << "";
    QTest::newRow("working folder") << "/d/Soft" << menu << "/d/Soft"
                                    << "/Soft";
    QTest::newRow("quoted path") << "\"/d/My Soft\"" << -1 << ""
                                 << "";
    QTest::newRow("relative path") << "d/Soft" << -1 << ""
                                   << "";
    QTest::newRow("other option") << "-x /d/Soft" << -1 << ""
                                  << "";
}

void TestStartUp::commandLine() {
    QFETCH(QString, arguments);
    QFETCH(int, window);
    QFETCH(QString, workFolder);
    QFETCH(QString, listPart);
    const auto decided = decideStart(arguments);
    QCOMPARE(decided ? int(*decided) : -1, window);
    QCOMPARE(state().workFolder, workFolder);
    QCOMPARE(state().listFolder,
             listPart.isEmpty() ? QString() : m_env->programFolder() + listPart);
}

void TestStartUp::listFileStartReadsSettings() {
    const QString listFolder = m_env->makeFolder("lists/Soft");
    m_env->writeFile("lists/Soft/settings.dat", "\"/d/Soft, old\",ignored\r\nnext line\r\n");
    // Only the last nine characters count, in any case.
    const auto decided = decideStart(listFolder + "/myIndex.QMX");
    QCOMPARE(decided, std::optional(WindowKind::MainMenu));
    QCOMPARE(state().listFolder, listFolder);
    QCOMPARE(state().workFolder, QString("/d/Soft, old"));
}

void TestStartUp::listFileStartWithoutSettingsOpensMenu() {
    const QString listFolder = m_env->makeFolder("lists/Empty");
    const auto decided = decideStart(listFolder + "/index.qmx");
    QCOMPARE(decided, std::optional(WindowKind::MainMenu));
    QCOMPARE(state().workFolder, QString());
    QCOMPARE(state().listFolder, listFolder);
}

void TestStartUp::startUpShowsFirstWindow() {
    InstanceLock lock;
    QVERIFY(startUp("-l /d/Soft", lock));
    Form* shown = WindowRegistry::instance().find(WindowKind::Catalogue);
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    QVERIFY(test::waitFor([&] { return m_made[WindowKind::Catalogue]->activations == 1; }));
    QCOMPARE(WindowRegistry::instance().loadedWindows().size(), 1);
    QCOMPARE(m_env->endCount, 0);
}

void TestStartUp::openWith_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("recent");    // lower case, as the main menu keeps it
    QTest::addColumn<QStringList>("prepared");  // working folders with a list folder
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("workFolder");
    const int installer = int(WindowKind::Installer);
    const int menu = int(WindowKind::MainMenu);
    QTest::newRow("first prepared recent folder")
        << "in/Tool.tar.gz" << QStringList{"", "/w/gone", "/w/apps", "/w/more"}
        << QStringList{"/w/More", "/w/Apps"} << installer << "/w/Apps";
    QTest::newRow("program file") << "in/tool.AppImage" << QStringList{"/w/apps"}
                                  << QStringList{"/w/apps"} << installer << "/w/apps";
    QTest::newRow("no prepared folder")
        << "in/tool.zip" << QStringList{"/w/apps"} << QStringList{} << menu << "";
}

void TestStartUp::openWith() {
    QFETCH(QString, file);
    QFETCH(QStringList, recent);
    QFETCH(QStringList, prepared);
    QFETCH(int, window);
    QFETCH(QString, workFolder);
    const QString path = m_env->writeFile(file, "archive");
    for (const QString& folder : prepared) {
        QDir().mkpath(listFolderOf(folder));
        QVERIFY(writeSettingsFile(listFolderOf(folder), folder));
    }
    recentlist::save(QStringLiteral("lpd"), recent);
    InstanceLock lock;
    QVERIFY(startUp(path, lock));
    QVERIFY(WindowRegistry::instance().isVisible(static_cast<WindowKind>(window)));
    QCOMPARE(state().workFolder, workFolder);
    if (window == int(WindowKind::Installer)) {
        QCOMPARE(state().pendingInstallFile, path);
        QCOMPARE(state().listFolder, listFolderOf(workFolder));
        QVERIFY(m_env->prompt.messages.isEmpty());
    } else {
        QCOMPARE(state().pendingInstallFile, QString());
        QCOMPARE(m_env->prompt.texts().size(), 1);
    }
}

void TestStartUp::unknownArgumentEndsWithoutWindow() {
    InstanceLock lock;
    QVERIFY(!startUp("C:\\Soft", lock));
    QVERIFY(WindowRegistry::instance().loadedWindows().isEmpty());
    QCOMPARE(m_env->endCount, 1);
    QVERIFY(m_env->prompt.messages.isEmpty());
}

void TestStartUp::secondInstanceIsRefused() {
    InstanceLock first;
    QVERIFY(first.tryLock());
    InstanceLock second;
    QVERIFY(!startUp("", second));
    QCOMPARE(m_env->prompt.texts(), QStringList{"Quillmornは既に起動されています"});
    QCOMPARE(m_env->prompt.messages.first().flags, 0);
    QVERIFY(WindowRegistry::instance().loadedWindows().isEmpty());
    QCOMPARE(m_env->endCount, 1);
}

void TestStartUp::staleLockIsTakenOver() {
    // A lock file left by a process that no longer runs.
    QFile stale(InstanceLock::lockPath());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("999999\nqmorn\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    InstanceLock lock;
    QVERIFY(startUp("", lock));
    QVERIFY(WindowRegistry::instance().isVisible(WindowKind::MainMenu));
}

namespace {

// Every file below folder, relative to it.
QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next().mid(folder.size() + 1));
    }
    files.sort();
    return files;
}

}  // namespace

void TestStartUp::portableStartWritesBesideTheExecutable_data() {
    QTest::addColumn<bool>("marker");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<QString>("shortcutArguments");
    QTest::newRow("marker file") << true << "-l /d/Soft"
                                 << "-l /d/Soft"
                                 << "-l /d/Soft";
    QTest::newRow("switch") << false << "--portable -l /d/Soft"
                            << "-l /d/Soft"
                            << "--portable -l /d/Soft";
    QTest::newRow("switch and marker, menu") << true << "--portable"
                                             << ""
                                             << "--portable -l /d/Soft";
}

void TestStartUp::portableStartWritesBesideTheExecutable() {
    QFETCH(bool, marker);
    QFETCH(QString, arguments);
    QFETCH(QString, rest);
    QFETCH(QString, shortcutArguments);
    const QString executableFolder = m_env->makeFolder("stick/quillmorn");
    if (marker) {
        m_env->writeFile("stick/quillmorn/portable", {});
    }
    QStringList words = arguments.split(u' ');
    startPortableMode(words, executableFolder + u'/');
    QCOMPARE(words.join(u' '), rest);
    QVERIFY(m_env->prompt.messages.isEmpty());
    QCOMPARE(programFolder(), executableFolder);
    QCOMPARE(PortableMode::shortcutArguments("-l /d/Soft"), shortcutArguments);

    // What a run writes: a preference, the file dialog's history, and a prepared working
    // folder's list folder.
    writePreference("pmode", "1");
    { QFileDialog dialog(nullptr, QString(), m_env->root()); }
    const QString work = m_env->makeFolder("Soft");
    QVERIFY(prepareWorkingFolder(work));
    QCOMPARE(readPreference("pmode"), QString("1"));

    const QStringList expected =
        marker ? QStringList{"QtProject.conf", "Soft/settings.dat", "orvalde.ini", "portable"}
               : QStringList{"QtProject.conf", "Soft/settings.dat", "orvalde.ini"};
    QCOMPARE(filesBelow(executableFolder), expected);
    QVERIFY(test::TestEnvironment::readFile(executableFolder + "/orvalde.ini").contains("pmode=1"));
    QCOMPARE(filesBelow(m_env->configFolder()), QStringList());
    QCOMPARE(filesBelow(QFileInfo(m_env->programFolder()).absolutePath()), QStringList());
}

void TestStartUp::unwritablePortableFolderFallsBack_data() {
    QTest::addColumn<QString>("folder");
    // Nothing can be created in /proc, whoever runs the test (root ignores access bits).
    QTest::newRow("read-only file system") << QString("/proc");
    QTest::newRow("missing folder") << QString();
}

void TestStartUp::unwritablePortableFolderFallsBack() {
    QFETCH(QString, folder);
    if (folder.isEmpty()) {
        folder = m_env->root() + "/stick";
    }
    QStringList words{"--portable", "/d/Soft"};
    startPortableMode(words, folder);
    QCOMPARE(words, QStringList{"/d/Soft"});
    QCOMPARE(
        m_env->prompt.texts(),
        QStringList{"ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。\n" +
                    folder});
    QVERIFY(!PortableMode::isActive());
    QCOMPARE(programFolder(), m_env->programFolder());
    writePreference("kmode", "1");
    QVERIFY(QFile::exists(m_env->configFolder() + "/orvalde.ini"));
    QCOMPARE(PortableMode::shortcutArguments("-i /d/Soft"), QString("-i /d/Soft"));
}

// A stick that became read-only after the start: the first value that cannot be stored says so,
// the next ones do not repeat it.
void TestStartUp::unwritablePreferencesSaidOnce() {
    const QString folder = m_env->makeFolder("stick");
    QStringList words{"--portable"};
    startPortableMode(words, folder);
    QVERIFY(PortableMode::isActive());
    // A folder where the file should be refuses the write whoever runs the test.
    QVERIFY(QDir().mkpath(folder + "/orvalde.ini"));
    writePreference("pmode", "1");
    writePreference("kmode", "1");
    QCOMPARE(
        m_env->prompt.texts(),
        QStringList{"設定を保存できませんでした。次のファイルに書き込めるか確かめてください。\n" +
                    folder + "/orvalde.ini"});
}

void TestStartUp::registryCreatesOnFirstReference() {
    auto& registry = WindowRegistry::instance();
    QVERIFY(!registry.isLoaded(WindowKind::MainMenu));
    Form* form = registry.window(WindowKind::MainMenu);
    QCOMPARE(registry.window(WindowKind::MainMenu), form);
    QCOMPARE(m_made[WindowKind::MainMenu]->loads, 1);
    QVERIFY(!form->isVisible());
}

void TestStartUp::unloadedWindowIsCreatedAfresh() {
    auto& registry = WindowRegistry::instance();
    registry.show(WindowKind::MainMenu);
    registry.show(WindowKind::Catalogue);
    QPointer<CountingForm> first = m_made[WindowKind::MainMenu];
    registry.unload(WindowKind::MainMenu);
    QCOMPARE(first->unloads, 1);
    QVERIFY(!registry.isLoaded(WindowKind::MainMenu));
    QVERIFY(test::waitFor([&] { return first.isNull(); }));
    registry.window(WindowKind::MainMenu);
    QVERIFY(m_made[WindowKind::MainMenu] != first);
    QCOMPARE(m_made[WindowKind::MainMenu]->loads, 1);
    QCOMPARE(m_env->endCount, 0);  // the catalogue is still open
}

void TestStartUp::lastWindowClosedEndsProgram() {
    auto& registry = WindowRegistry::instance();
    registry.show(WindowKind::MainMenu);
    registry.find(WindowKind::MainMenu)->close();
    // A window shown right after the last one closed keeps the program running.
    registry.show(WindowKind::Catalogue);
    QVERIFY(test::runQueuedCalls());
    QCOMPARE(m_env->endCount, 0);
    registry.find(WindowKind::Catalogue)->close();
    QVERIFY(test::waitFor([&] { return m_env->endCount == 1; }));
    QVERIFY(programEnded());
}

void TestStartUp::modalWindowReactivatesOwner() {
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Registration, [] {
        return new test::ScriptedForm(WindowKind::Registration, [] { state().editResult = 2; });
    });
    registry.show(WindowKind::Links);
    QPointer<CountingForm> owner = m_made[WindowKind::Links];
    QVERIFY(test::waitFor([&] { return owner->activations == 1; }));
    // A window of another kind asks for the modal one through the registry, like the windows do.
    struct Opener : Form {
        Opener() : Form(WindowKind::Catalogue) {}
        void openModal() { showModalWindow(WindowKind::Registration); }
        int activations = 0;
        void activate() override { ++activations; }
    } opener;
    opener.openModal();
    QCOMPARE(state().editResult, qint16(2));
    QVERIFY(!registry.isLoaded(WindowKind::Registration));
    QVERIFY(test::waitFor([&] { return opener.activations == 1; }));
}

// A window manager may hand the focus to a new window only after its first activation ran: that
// is still the first showing. Coming back to it from another window of the program is not.
void TestStartUp::activationRunsOncePerShowing() {
    const auto windowSystemActivates = [](QWidget* window) {
        QEvent event(QEvent::WindowActivate);
        QCoreApplication::sendEvent(window, &event);
    };
    WindowRegistry::instance().show(WindowKind::MainMenu);
    QPointer<CountingForm> menu = m_made[WindowKind::MainMenu];
    QVERIFY(test::waitFor([&] { return menu->activations == 1; }));
    CountingForm links(WindowKind::Links);
    links.scheduleFirstActivation();
    QVERIFY(test::waitFor([&] { return links.activations == 1; }));
    windowSystemActivates(menu);
    windowSystemActivates(&links);
    QVERIFY(test::runQueuedCalls());
    QCOMPARE(links.activations, 1);
    windowSystemActivates(menu);
    windowSystemActivates(&links);
    QVERIFY(test::waitFor([&] { return links.activations == 2; }));
}

void TestStartUp::qtOwnTextsAreJapanese() {
    // Qt's own buttons speak Japanese, whatever the locale (the tests run under C.UTF-8).
    QVERIFY(installTranslations(UiLanguage::Japanese));
    QMessageBox box(QMessageBox::Question, "quillmorn", "?", QMessageBox::Yes | QMessageBox::No);
    QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
