// The link window: the rebuild of a list folder's shortcut tree on every activation, the switch
// after a move, and the copy of shortcut trees into the applications menu with its menu files.

#include <QComboBox>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <optional>

#include "app/endprogram.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "app/workingfolder.h"
#include "catalogue/listfile.h"
#include "platform/fileoperation.h"
#include "platform/icontheme.h"
#include "platform/paths.h"
#include "platform/settingsstore.h"
#include "shortcuts/linktree.h"
#include "shortcuts/menufiles.h"
#include "shortcuts/recentdestinations.h"
#include "shortcuts/shortcutswindows.h"
#include "support/checkingtool.h"
#include "support/fakefilesystem.h"
#include "support/testappimage.h"
#include "support/testenvironment.h"
#include "support/testpe.h"

using namespace qm;
using namespace qm::test;

namespace {

const QString kFailed = QStringLiteral(
    "正常にプロセスできませんでした。ショートカットとそのフォルダに書き込めるか確かめてください。");
const QString kDone = QStringLiteral("正常に登録されました。");
const QString kNoDestination = QStringLiteral("適切なショートカットの置き場所を指定してください");
const QString kReplace = QStringLiteral("重複するフォルダが存在しますが、置き換えますか？");
const QString kTransfer =
    QStringLiteral("ファイル転送エラー。当ソフトを再起動して再試行してみてください。");
const QString kUnset = QStringLiteral("未設定");
const QString kSkipped = QStringLiteral("次の登録にはショートカットを作成できませんでした。");

CatalogueEntry entry(qint16 state, const QString& name, const QString& category,
                     const QString& exe) {
    CatalogueEntry e;
    e.state = state;
    e.name = name;
    e.folder = parentFolder(exe);
    e.category = category;
    e.exe = exe;
    e.description = QStringLiteral("説明");
    return e;
}

// Every file and folder below root, as relative paths ("folder/" for folders), sorted.
QStringList tree(const QString& root) {
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString relative = it.filePath().mid(root.size() + 1);
        paths << (it.fileInfo().isDir() ? relative + u'/' : relative);
    }
    paths.sort();
    return paths;
}

QString readText(const QString& path) {
    return QString::fromUtf8(TestEnvironment::readFile(path));
}

// The value of a key of a Desktop Entry, as written.
QString desktopValue(const QString& path, const QString& key) {
    for (const QString& line : readText(path).split(u'\n')) {
        if (line.startsWith(key + u'=')) {
            return line.mid(key.size() + 1);
        }
    }
    return QStringLiteral("<missing>");
}

// A prepared working folder with its list folder and list file.
struct Prepared {
    QString workFolder;
    QString listFolder;
};

Prepared prepare(TestEnvironment& env, const QString& name, const QList<CatalogueEntry>& records) {
    Prepared p;
    p.workFolder = env.makeFolder(name);
    p.listFolder = listFolderOf(p.workFolder);
    QDir().mkpath(p.listFolder);
    writeSettingsFile(p.listFolder, p.workFolder);
    saveListFile(joinPath(p.listFolder, QStringLiteral("index.qmx")), records);
    return p;
}

void makeCurrent(const Prepared& p) {
    state().workFolder = p.workFolder;
    state().listFolder = p.listFolder;
}

// Keeps the program running while the link window closes and opens again.
void openMainMenu() {
    WindowRegistry::instance().show(WindowKind::MainMenu);
}

template <typename T>
T* control(Form* form, const char* name) {
    return form->findChild<T*>(QLatin1String(name));
}

}  // namespace

class LinkWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void rebuildWritesTree();
    void rebuildRemovesOnlyWhatItWrote();
    void rebuildRefusesUnsafeNames_data();
    void rebuildRefusesUnsafeNames();
    void rebuildFailures_data();
    void rebuildFailures();
    void rebuildRunsOnEveryActivation();
    void shellLinkTree();
    void switchAfterMove_data();
    void switchAfterMove();

    void loadFillsControls();
    void copyNeedsDestination_data();
    void copyNeedsDestination();
    void copyMergesListFolders();
    void copyKeepsEarlierTree_data();
    void copyKeepsEarlierTree();
    void missingWineSaidOnce();
    void replaceQuestion_data();
    void replaceQuestion();
    void recentDestinations_data();
    void recentDestinations();
    void closingEndsProgram_data();
    void closingEndsProgram();
    void realMenuShowsTree();
    void entriesCarryIcons_data();
    void entriesCarryIcons();

private:
    Form* showLinks(TestEnvironment& env, int messages = 1);
};

void LinkWindowTest::init() {
    registerShortcutsWindows();
    auto& registry = WindowRegistry::instance();
    registry.setFactory(WindowKind::Catalogue,
                        [] { return new ScriptedForm(WindowKind::Catalogue, {}, true); });
    registry.setFactory(WindowKind::MainMenu,
                        [] { return new ScriptedForm(WindowKind::MainMenu, {}, true); });
}

// Shows the window and waits for the rebuild's message(s).
Form* LinkWindowTest::showLinks(TestEnvironment& env, int messages) {
    Form* form = WindowRegistry::instance().show(WindowKind::Links);
    if (!waitFor([&] { return env.prompt.messages.size() >= messages; })) {
        return nullptr;
    }
    return form;
}

void LinkWindowTest::rebuildWritesTree() {
    TestEnvironment env;
    const QString gone = env.root() + QStringLiteral("/gone/app");
    const Prepared p = prepare(
        env, QStringLiteral("My Soft"),
        {entry(1, QStringLiteral("Editor"), QStringLiteral("Tools"), QStringLiteral("/s/ed/ed")),
         entry(2, QStringLiteral("Unregistered"), QStringLiteral("Tools"), QStringLiteral("/s/u")),
         entry(0, QStringLiteral("Excluded"), kUnset, QStringLiteral("/s/x/x")),
         entry(1, QStringLiteral("Viewer"), kUnset, QStringLiteral("/s/v/view")),
         entry(1, QStringLiteral("Editor"), QStringLiteral("Tools"), QStringLiteral("/s/ed2/ed")),
         entry(1, QStringLiteral("計算 $(x)"), QStringLiteral("表計算"), gone),
         entry(2, QStringLiteral("Last"), kUnset, QStringLiteral("/s/l/l"))});
    makeCurrent(p);
    QVERIFY(showLinks(env));
    QCOMPARE(env.prompt.texts(), QStringList{kDone});

    const QStringList expected = {QStringLiteral("My Soft リスト.desktop"),
                                  QStringLiteral("Tools/"),
                                  QStringLiteral("Tools/Editor.desktop"),
                                  QStringLiteral("Viewer.desktop"),
                                  QStringLiteral("index.qmx"),
                                  QStringLiteral("settings.dat"),
                                  QStringLiteral("表計算/"),
                                  QStringLiteral("表計算/計算 $(x).desktop")};
    QCOMPARE(tree(p.listFolder), expected);
    // Of two records with the same name and category the later one wins.
    QCOMPARE(desktopValue(p.listFolder + QStringLiteral("/Tools/Editor.desktop"), "Exec"),
             QStringLiteral("/s/ed2/ed"));
    QCOMPARE(desktopValue(p.listFolder + QStringLiteral("/Tools/Editor.desktop"), "Path"),
             QStringLiteral("/s/ed2"));
    // A program that is gone still gets its shortcut (the menu hides it by TryExec).
    QCOMPARE(desktopValue(p.listFolder + QStringLiteral("/表計算/計算 $(x).desktop"), "TryExec"),
             gone);
    const QString list = p.listFolder + QStringLiteral("/My Soft リスト.desktop");
    QCOMPARE(desktopValue(list, "Exec"),
             QStringLiteral("%1 -l %2").arg(programExecutable(), p.workFolder));
    QCOMPARE(desktopValue(list, "Path"),
             parentFolder(QFileInfo(programExecutable()).absolutePath()));
    // The exchange record holds the last record read.
    QCOMPARE(state().editName, QStringLiteral("Last"));
    QCOMPARE(state().editState, qint16(2));
}

void LinkWindowTest::rebuildRemovesOnlyWhatItWrote() {
    TestEnvironment env;
    openMainMenu();
    // Names beginning with "." are written like any other, and removed like any other.
    Prepared p = prepare(env, QStringLiteral("soft"),
                         {entry(1, QStringLiteral("A"), QStringLiteral("Old"), "/s/a/a"),
                          entry(1, QStringLiteral("B"), QStringLiteral("Mixed"), "/s/b/b"),
                          entry(1, QStringLiteral(".dotname"), kUnset, "/s/d/d"),
                          entry(1, QStringLiteral("D"), QStringLiteral(".dotcat"), "/s/d/d")});
    makeCurrent(p);
    QVERIFY(showLinks(env));
    QVERIFY(QFileInfo::exists(p.listFolder + QStringLiteral("/.dotname.desktop")));
    QVERIFY(QFileInfo::exists(p.listFolder + QStringLiteral("/.dotcat/D.desktop")));
    WindowRegistry::instance().unload(WindowKind::Links);

    // Things of the user's own beside the shortcuts, even an empty folder: all of them stay.
    QVERIFY(QDir().mkpath(p.listFolder + QStringLiteral("/Empty")));
    const QString own = QStringLiteral(
        "[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\n"
        "Icon=mine\n");
    const auto put = [&](const QString& relative, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(p.listFolder + u'/' + relative).absolutePath());
        QFile file(p.listFolder + u'/' + relative);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    put(QStringLiteral("notes.txt"), "notes");
    put(QStringLiteral("index.qmx.bak"), "a list file kept after it was misread");
    put(QStringLiteral("mine.desktop"), own.toUtf8());
    put(QStringLiteral(".hidden"), "h");
    put(QStringLiteral("Mixed/readme.txt"), "user data");
    put(QStringLiteral("Program/app.bin"), "program folder");
    put(QStringLiteral("Program/Program.desktop"), own.toUtf8());

    saveListFile(listFileOf(p.listFolder),
                 {entry(1, QStringLiteral("C"), kUnset, QStringLiteral("/s/c/c"))});
    env.prompt.clear();
    QVERIFY(showLinks(env));
    QCOMPARE(env.prompt.texts(), QStringList{kDone});
    const QStringList expected = {QStringLiteral(".hidden"),
                                  QStringLiteral("C.desktop"),
                                  QStringLiteral("Empty/"),
                                  QStringLiteral("Mixed/"),
                                  QStringLiteral("Mixed/readme.txt"),
                                  QStringLiteral("Program/"),
                                  QStringLiteral("Program/Program.desktop"),
                                  QStringLiteral("Program/app.bin"),
                                  QStringLiteral("index.qmx"),
                                  QStringLiteral("index.qmx.bak"),
                                  QStringLiteral("mine.desktop"),
                                  QStringLiteral("notes.txt"),
                                  QStringLiteral("settings.dat"),
                                  QStringLiteral("soft リスト.desktop")};
    QCOMPARE(tree(p.listFolder), expected);
    QCOMPARE(readText(p.listFolder + QStringLiteral("/mine.desktop")), own);

    // A record whose shortcut would replace the user's own file stops the rebuild.
    saveListFile(listFileOf(p.listFolder),
                 {entry(1, QStringLiteral("mine"), kUnset, QStringLiteral("/s/m/m"))});
    env.prompt.clear();
    WindowRegistry::instance().unload(WindowKind::Links);
    QVERIFY(showLinks(env));
    QVERIFY(env.prompt.texts().value(0).startsWith(kSkipped));
    QVERIFY(env.prompt.texts().value(0).contains(QStringLiteral("「mine」")));
    QCOMPARE(readText(p.listFolder + QStringLiteral("/mine.desktop")), own);
}

void LinkWindowTest::rebuildRefusesUnsafeNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::newRow("name climbs out") << QStringLiteral("../../evil") << kUnset;
    QTest::newRow("empty name") << QString() << kUnset;
    QTest::newRow("dot name") << QStringLiteral(".") << QStringLiteral("Tools");
    QTest::newRow("dot-dot category") << QStringLiteral("x") << QStringLiteral("..");
    QTest::newRow("category climbs out") << QStringLiteral("x") << QStringLiteral("../../../tmp");
    QTest::newRow("empty category") << QStringLiteral("x") << QString();
    QTest::newRow("separator in name") << QStringLiteral("a/b") << kUnset;
    QTest::newRow("control character") << QStringLiteral("a\x01") << kUnset;
    QTest::newRow("category is the list file")
        << QStringLiteral("x") << QStringLiteral("INDEX.QMX");
    QTest::newRow("name too long") << QString(300, u'n') << kUnset;
}

// The record is left out and named; nothing is written outside the list folder, and the other
// records get their shortcuts.
void LinkWindowTest::rebuildRefusesUnsafeNames() {
    QFETCH(QString, name);
    QFETCH(QString, category);
    TestEnvironment env;
    openMainMenu();
    const Prepared p =
        prepare(env, QStringLiteral("w"), {entry(1, QStringLiteral("Good"), kUnset, "/s/g/g")});
    makeCurrent(p);
    QVERIFY(showLinks(env));
    WindowRegistry::instance().unload(WindowKind::Links);
    const QStringList before = tree(p.listFolder);
    const QStringList outside = tree(env.root());

    saveListFile(listFileOf(p.listFolder),
                 {entry(1, QStringLiteral("First"), kUnset, QStringLiteral("/s/f/f")),
                  entry(1, name, category, QStringLiteral("/s/x/x"))});
    env.prompt.clear();
    QVERIFY(showLinks(env));
    QCOMPARE(env.prompt.messages.size(), 1);
    QVERIFY2(env.prompt.texts().first().startsWith(kSkipped), qPrintable(env.prompt.texts()[0]));
    QStringList expected = before;
    expected.replaceInStrings(QStringLiteral("Good."), QStringLiteral("First."));
    expected.sort();
    QCOMPARE(tree(p.listFolder), expected);
    QCOMPARE(tree(env.root()), outside);
}

void LinkWindowTest::rebuildFailures_data() {
    QTest::addColumn<QString>("fault");
    // The record that is left out, or "" when the whole rebuild fails.
    QTest::addColumn<QString>("skipped");
    QTest::newRow("no list file") << QStringLiteral("missing list") << QString();
    QTest::newRow("old shortcut cannot be deleted") << QStringLiteral("refuse delete") << QString();
    QTest::newRow("program path without folder")
        << QStringLiteral("bare exe") << QStringLiteral("「Bare」: プログラムのファイルが不明です");
    QTest::newRow("program unknown") << QStringLiteral("unknown exe")
                                     << QStringLiteral("「Bare」: プログラムのファイルが不明です");
    QTest::newRow("category is a file") << QStringLiteral("category file")
                                        << QStringLiteral("「X」: ショートカットを書き込めません");
}

void LinkWindowTest::rebuildFailures() {
    QFETCH(QString, fault);
    QFETCH(QString, skipped);
    TestEnvironment env;
    openMainMenu();
    const Prepared p =
        prepare(env, QStringLiteral("w"), {entry(1, QStringLiteral("Old"), kUnset, "/s/o/o")});
    makeCurrent(p);
    QVERIFY(showLinks(env));
    WindowRegistry::instance().unload(WindowKind::Links);
    QList<CatalogueEntry> records = {entry(1, QStringLiteral("New"), kUnset, "/s/n/n")};
    std::optional<FakeFileSystem> refusal;
    if (fault == QLatin1String("missing list")) {
        QFile::remove(listFileOf(p.listFolder));
    } else if (fault == QLatin1String("refuse delete")) {
        refusal.emplace();
        refusal->refuse(FakeFileSystem::Remove,
                        [](const QString& path) { return path.endsWith(u"Old.desktop"); });
    } else if (fault == QLatin1String("bare exe")) {
        records << entry(1, QStringLiteral("Bare"), kUnset, QStringLiteral("bare.exe"));
    } else if (fault == QLatin1String("unknown exe")) {
        records << entry(1, QStringLiteral("Bare"), kUnset, QStringLiteral("不明"));
    } else {
        QFile file(p.listFolder + QStringLiteral("/Cat"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        records << entry(1, QStringLiteral("X"), QStringLiteral("Cat"), "/s/x/x");
    }
    if (QFileInfo::exists(listFileOf(p.listFolder))) {
        saveListFile(listFileOf(p.listFolder), records);
    }
    env.prompt.clear();
    Form* form = showLinks(env);
    QVERIFY(form);
    // The window is usable again and the busy panel gone.
    QVERIFY(form->isEnabled());
    QVERIFY(!control<QWidget>(form, "Frame1")->isVisible());
    if (skipped.isEmpty()) {
        QCOMPARE(env.prompt.texts(), QStringList{kFailed});
        QVERIFY(!QFileInfo::exists(p.listFolder + QStringLiteral("/New.desktop")));
    } else {
        // Every other record has its shortcut; the message names the one left out and why.
        QCOMPARE(env.prompt.texts().size(), 1);
        QVERIFY2(env.prompt.texts().first().endsWith(skipped), qPrintable(env.prompt.texts()[0]));
        QVERIFY(QFileInfo::exists(p.listFolder + QStringLiteral("/New.desktop")));
    }
}

void LinkWindowTest::rebuildRunsOnEveryActivation() {
    TestEnvironment env;
    const Prepared p =
        prepare(env, QStringLiteral("w"), {entry(1, QStringLiteral("One"), kUnset, "/s/1/1")});
    makeCurrent(p);
    Form* form = showLinks(env);
    QVERIFY(form);
    QVERIFY(QFileInfo::exists(p.listFolder + QStringLiteral("/One.desktop")));
    saveListFile(listFileOf(p.listFolder),
                 {entry(1, QStringLiteral("Two"), QStringLiteral("C"), "/s/2/2")});
    form->runActivate();
    QCOMPARE(env.prompt.texts(), (QStringList{kDone, kDone}));
    QVERIFY(!QFileInfo::exists(p.listFolder + QStringLiteral("/One.desktop")));
    QVERIFY(QFileInfo::exists(p.listFolder + QStringLiteral("/C/Two.desktop")));
}

// The Windows kind of tree: a second rebuild recognises and replaces the links of the first.
void LinkWindowTest::shellLinkTree() {
    TestEnvironment env;
    const Prepared p = prepare(env, QStringLiteral("w"),
                               {entry(1, QStringLiteral("A"), QStringLiteral("Cat"), "C:/s/a.exe"),
                                entry(1, QStringLiteral("B"), kUnset, "C:/s/b.exe")});
    QFile mine(p.listFolder + QStringLiteral("/mine.lnk"));
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("not a link of ours");
    mine.close();
    LinkTreeBuilder(p.listFolder, p.workFolder, ShortcutFormat::ShellLink).rebuild();
    saveListFile(listFileOf(p.listFolder),
                 {entry(1, QStringLiteral("C"), QStringLiteral("Cat2"), "C:/s/c.exe")});
    LinkTreeBuilder(p.listFolder, p.workFolder, ShortcutFormat::ShellLink).rebuild();
    QCOMPARE(tree(p.listFolder),
             (QStringList{QStringLiteral("Cat2/"), QStringLiteral("Cat2/C.lnk"),
                          QStringLiteral("index.qmx"), QStringLiteral("mine.lnk"),
                          QStringLiteral("settings.dat"), QStringLiteral("w リスト.lnk")}));
    QM_SKIP_WITHOUT_TOOL("lnkinfo");
    QProcess info;
    info.start(QStringLiteral("lnkinfo"), {p.listFolder + QStringLiteral("/Cat2/C.lnk")});
    QVERIFY(info.waitForFinished());
    const QString report = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(report.contains(QStringLiteral("C:\\s\\c.exe")), qPrintable(report));
}

void LinkWindowTest::switchAfterMove_data() {
    QTest::addColumn<bool>("rebuildFails");
    QTest::newRow("rebuild succeeds") << false;
    QTest::newRow("rebuild fails, switch on close") << true;
}

void LinkWindowTest::switchAfterMove() {
    QFETCH(bool, rebuildFails);
    TestEnvironment env;
    const Prepared from = prepare(env, QStringLiteral("from"), {});
    const Prepared to = prepare(env, QStringLiteral("to"), {});
    makeCurrent(from);
    if (rebuildFails) {
        QFile::remove(listFileOf(from.listFolder));
    }
    state().moveTarget = to.workFolder;
    auto& registry = WindowRegistry::instance();
    Form* form = registry.show(WindowKind::Links);
    QVERIFY(form);
    if (rebuildFails) {
        QVERIFY(waitFor([&] { return !env.prompt.messages.isEmpty(); }));
        QCOMPARE(env.prompt.texts(), QStringList{kFailed});
        QCOMPARE(state().moveTarget, to.workFolder);
        registry.unload(WindowKind::Links);
    }
    QVERIFY(waitFor([&] { return registry.isVisible(WindowKind::Catalogue); }));
    QVERIFY(!registry.isLoaded(WindowKind::Links));
    QCOMPARE(state().workFolder, to.workFolder);
    QCOMPARE(state().listFolder, to.listFolder);
    QCOMPARE(state().moveTarget, QString());
    QCOMPARE(env.endCount, 0);
    if (!rebuildFails) {
        QVERIFY(env.prompt.messages.isEmpty());
        QVERIFY(QFileInfo::exists(from.listFolder + QStringLiteral("/from リスト.desktop")));
    }
}

void LinkWindowTest::loadFillsControls() {
    TestEnvironment env;
    const Prepared p = prepare(env, QStringLiteral("b-soft"), {});
    prepare(env, QStringLiteral("A soft"), {});
    QDir().mkpath(programFolder() + QStringLiteral("/.hidden"));
    makeCurrent(p);
    Form* form = showLinks(env);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Quillmorn - リンク作成"));
    QCOMPARE(control<QLabel>(form, "Label2")->toolTip(), p.workFolder);
    QCOMPARE(control<QPushButton>(form, "Command5")->text().remove(u'\n'),
             QStringLiteral("メニューにショートカットを作成"));
    auto* combo = control<QComboBox>(form, "Combo1");
    QCOMPARE(combo->count(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(combo->itemText(i), QStringLiteral("(N/A)"));
    }
    QCOMPARE(combo->currentText(), QStringLiteral("(N/A)"));
    auto* list = control<QListWidget>(form, "List1");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("A soft"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("b-soft"));
    QCOMPARE(list->selectedItems().size(), 2);
    QVERIFY(control<QPushButton>(form, "Command5")->isVisible());
    QVERIFY(!control<QPushButton>(form, "Command1")->isVisible());
    QVERIFY(!control<QWidget>(form, "Frame1")->isVisible());
}

void LinkWindowTest::copyNeedsDestination_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("first use") << QStringLiteral("(N/A)");
    QTest::newRow("empty") << QString();
    QTest::newRow("separator") << QStringLiteral("a/b");
    QTest::newRow("climbs out") << QStringLiteral("..");
    QTest::newRow("blanks only") << QStringLiteral("   ");
}

void LinkWindowTest::copyNeedsDestination() {
    QFETCH(QString, text);
    TestEnvironment env;
    makeCurrent(prepare(env, QStringLiteral("w"), {}));
    Form* form = showLinks(env);
    QVERIFY(form);
    env.prompt.clear();
    control<QComboBox>(form, "Combo1")->setEditText(text);
    control<QPushButton>(form, "Command5")->click();
    QCOMPARE(env.prompt.texts(), QStringList{kNoDestination});
    QVERIFY(WindowRegistry::instance().isVisible(WindowKind::Links));
    QCOMPARE(tree(env.root() + QStringLiteral("/../home/.local/share/applications")),
             QStringList());
    QCOMPARE(env.endCount, 0);
}

void LinkWindowTest::copyMergesListFolders() {
    TestEnvironment env;
    openMainMenu();
    const Prepared one = prepare(env, QStringLiteral("one"),
                                 {entry(1, QStringLiteral("Ed"), QStringLiteral("Tools"), "/1/e"),
                                  entry(1, QStringLiteral("Same"), kUnset, "/1/same")});
    const Prepared two = prepare(env, QStringLiteral("two"),
                                 {entry(1, QStringLiteral("Calc"), QStringLiteral("Tools"), "/2/c"),
                                  entry(1, QStringLiteral("Same"), kUnset, "/2/same")});
    makeCurrent(two);
    QVERIFY(showLinks(env));
    WindowRegistry::instance().unload(WindowKind::Links);
    makeCurrent(one);
    env.prompt.clear();
    Form* form = showLinks(env);
    QVERIFY(form);
    QCOMPARE(control<QListWidget>(form, "List1")->selectedItems().size(), 2);

    WindowRegistry::instance().unload(WindowKind::MainMenu);
    control<QComboBox>(form, "Combo1")->setEditText(QStringLiteral("Online Soft"));
    env.prompt.clear();
    control<QPushButton>(form, "Command5")->click();
    QCOMPARE(env.prompt.texts(), QStringList{kDone});
    const QString apps = applicationsFolder();
    const QString dest = apps + QStringLiteral("/Online Soft");
    const QStringList expected = {
        QStringLiteral("Same.desktop"),       QStringLiteral("Tools/"),
        QStringLiteral("Tools/Calc.desktop"), QStringLiteral("Tools/Ed.desktop"),
        QStringLiteral("one リスト.desktop"), QStringLiteral("two リスト.desktop")};
    QCOMPARE(tree(dest), expected);
    // The later list folder wins.
    QCOMPARE(desktopValue(dest + QStringLiteral("/Same.desktop"), "Exec"),
             QStringLiteral("/2/same"));
    QCOMPARE(state().fileOp.wFunc, 2u);
    QCOMPARE(state().fileOp.fFlags, 20u);

    // The window closed, stored the destination as typed, and the program ended.
    QVERIFY(!WindowRegistry::instance().isLoaded(WindowKind::Links));
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpl0"), QStringLiteral("Online Soft"));
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpl4"), QStringLiteral("(N/A)"));
    QVERIFY(env.endCount >= 1);

    // The menu files show the tree as a folder with one sub-folder per category.
    const MenuFiles menus(apps, QStringLiteral("Online Soft"));
    const QString menu = readText(menus.menuFilePath());
    QVERIFY2(menu.contains(QStringLiteral("<Name>Online Soft</Name>")), qPrintable(menu));
    QVERIFY(menu.contains(QStringLiteral("<Filename>Online Soft-Same.desktop</Filename>")));
    QVERIFY(menu.contains(QStringLiteral("<Filename>Online Soft-one リスト.desktop</Filename>")));
    QVERIFY(menu.contains(QStringLiteral("<Name>Tools</Name>")));
    QVERIFY(menu.contains(QStringLiteral("<Filename>Online Soft-Tools-Calc.desktop</Filename>")));
    QVERIFY2(menu.startsWith(QStringLiteral("<!DOCTYPE Menu PUBLIC")), qPrintable(menu));
    QVERIFY(menu.contains(QStringLiteral("<Name>Applications</Name>")));
    QVERIFY(menus.menuFilePath().startsWith(env.configFolder() +
                                            QStringLiteral("/menus/applications-merged/")));
    QCOMPARE(desktopValue(menus.directoryFilePath(), "Name"), QStringLiteral("Online Soft"));
    QCOMPARE(desktopValue(menus.directoryFilePath(), "Type"), QStringLiteral("Directory"));
    const QStringList directories = QDir(MenuFiles::directoriesFolder()).entryList(QDir::Files);
    QCOMPARE(directories.size(), 2);
    QM_SKIP_WITHOUT_TOOL("desktop-file-validate");
    for (const QString& name : directories) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"),
                       {MenuFiles::directoriesFolder() + u'/' + name});
        QVERIFY(validate.waitForFinished());
        QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    }
}

void LinkWindowTest::copyKeepsEarlierTree_data() {
    QTest::addColumn<bool>("chooseNone");
    QTest::newRow("no list folder chosen") << true;
    QTest::newRow("copy fails") << false;
}

// The earlier copy in the menu goes only once its replacement is whole.
void LinkWindowTest::copyKeepsEarlierTree() {
    QFETCH(bool, chooseNone);
    TestEnvironment env;
    openMainMenu();
    makeCurrent(prepare(env, QStringLiteral("w"),
                        {entry(1, QStringLiteral("A"), QStringLiteral("Tools"), "/s/a/a")}));
    const QString apps = applicationsFolder();
    const QByteArray old = "[Desktop Entry]\nType=Application\nName=Old\nExec=old\n";
    QDir().mkpath(apps + QStringLiteral("/Soft"));
    QFile file(apps + QStringLiteral("/Soft/Old.desktop"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    file.close();
    Form* form = showLinks(env);
    QVERIFY(form);
    env.prompt.clear();
    env.prompt.answers = {AnswerYes};
    control<QComboBox>(form, "Combo1")->setEditText(QStringLiteral("Soft"));
    std::optional<FakeFileSystem> fault;
    if (chooseNone) {
        control<QListWidget>(form, "List1")->item(0)->setSelected(false);
    } else {
        fault.emplace();
        fault->refuse(FakeFileSystem::Transfer, [](const QString&) { return true; });
    }
    control<QPushButton>(form, "Command5")->click();
    QCOMPARE(control<QPushButton>(form, "Command5")->isEnabled(), !chooseNone);
    QCOMPARE(tree(apps),
             (QStringList{QStringLiteral("Soft/"), QStringLiteral("Soft/Old.desktop")}));
    QCOMPARE(env.prompt.texts(), chooseNone ? QStringList() : (QStringList{kReplace, kTransfer}));
}

void LinkWindowTest::missingWineSaidOnce() {
    TestEnvironment env;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", env.makeFolder(QStringLiteral("nowine")).toUtf8());
    const Prepared p =
        prepare(env, QStringLiteral("w"), {entry(1, QStringLiteral("Win"), kUnset, "/s/w/w.EXE")});
    makeCurrent(p);
    Form* form = showLinks(env, 2);
    if (form) {
        form->runActivate();
    }
    qputenv("PATH", path);
    QVERIFY(form);
    QCOMPARE(env.prompt.texts().size(), 3);
    QVERIFY(env.prompt.texts()[0].startsWith(QStringLiteral("wine がインストールされていない")));
    QCOMPARE(env.prompt.texts().mid(1), (QStringList{kDone, kDone}));
}

void LinkWindowTest::replaceQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("menuSpelling");    // the earlier copy's menu files were written so
    QTest::addColumn<QString>("secondSpelling");  // another folder of the same name, or ""
    const QString soft = QStringLiteral("Soft");
    QTest::newRow("yes") << int(AnswerYes) << soft << soft << QString();
    QTest::newRow("no") << int(AnswerNo) << soft << soft << QString();
    // As when an old lower-cased destination is picked: still the same folder.
    QTest::newRow("other case, yes")
        << int(AnswerYes) << QStringLiteral("SOFT") << soft << QString();
    QTest::newRow("other case, no") << int(AnswerNo) << QStringLiteral("soft") << soft << QString();
    // The folder was renamed in its letter case since: its menu files are still the same set.
    QTest::newRow("menus in other case")
        << int(AnswerYes) << soft << QStringLiteral("SOFT") << QString();
    // Two folders that differ only in case: neither is picked, nothing is replaced.
    QTest::newRow("two spellings")
        << int(AnswerYes) << QStringLiteral("soft") << soft << QStringLiteral("SOFT");
    QTest::newRow("two spellings, exact one")
        << int(AnswerYes) << soft << soft << QStringLiteral("SOFT");
}

void LinkWindowTest::replaceQuestion() {
    QFETCH(int, answer);
    QFETCH(QString, typed);
    QFETCH(QString, menuSpelling);
    QFETCH(QString, secondSpelling);
    TestEnvironment env;
    openMainMenu();
    const Prepared p =
        prepare(env, QStringLiteral("w"), {entry(1, QStringLiteral("New"), kUnset, "/n/n")});
    makeCurrent(p);
    // An earlier copy with a category that no longer exists, and its menu files.
    const QString apps = applicationsFolder();
    const QString dest = apps + QStringLiteral("/Soft");
    QDir().mkpath(apps + u'/' + menuSpelling + QStringLiteral("/OldCat"));
    QFile old(apps + u'/' + menuSpelling + QStringLiteral("/OldCat/Old.desktop"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("[Desktop Entry]\nType=Application\nName=Old\nExec=old\n");
    old.close();
    QVERIFY(MenuFiles(apps, menuSpelling).write());
    QVERIFY(QDir(apps).rename(menuSpelling, QStringLiteral("Soft")) || menuSpelling == "Soft");
    QCOMPARE(QDir(MenuFiles::directoriesFolder()).entryList(QDir::Files).size(), 2);
    if (!secondSpelling.isEmpty()) {
        QVERIFY(QDir().mkpath(apps + u'/' + secondSpelling));
    }

    Form* form = showLinks(env);
    QVERIFY(form);
    auto* combo = control<QComboBox>(form, "Combo1");
    combo->setEditText(typed);
    env.prompt.clear();
    env.prompt.answers = {answer};
    control<QPushButton>(form, "Command5")->click();
    if (!secondSpelling.isEmpty() && typed != QLatin1String("Soft")) {
        QCOMPARE(env.prompt.texts().size(), 1);
        QVERIFY(env.prompt.texts().first().startsWith(
            QStringLiteral("大文字と小文字だけが違うフォルダが複数あります。")));
        QCOMPARE(tree(dest),
                 (QStringList{QStringLiteral("OldCat/"), QStringLiteral("OldCat/Old.desktop")}));
        return;
    }
    QCOMPARE(env.prompt.messages.first().text, kReplace);
    QCOMPARE(env.prompt.messages.first().flags, int(MsgYesNo));
    if (answer == AnswerNo) {
        QCOMPARE(env.prompt.messages.size(), 1);
        QCOMPARE(QDir(apps).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Soft")});
        QCOMPARE(tree(dest),
                 (QStringList{QStringLiteral("OldCat/"), QStringLiteral("OldCat/Old.desktop")}));
        QCOMPARE(combo->itemText(0), QStringLiteral("(N/A)"));
        QVERIFY(WindowRegistry::instance().isVisible(WindowKind::Links));
        QVERIFY(readText(MenuFiles(apps, QStringLiteral("Soft")).menuFilePath())
                    .contains(QStringLiteral("OldCat")));
        return;
    }
    QCOMPARE(env.prompt.texts(), (QStringList{kReplace, kDone}));
    // One folder, named as typed (and the other spelling untouched).
    QStringList folders{typed, secondSpelling};
    folders.removeAll(QString());
    QStringList listed = QDir(apps).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    listed.sort();
    folders.sort();
    QCOMPARE(listed, folders);
    QCOMPARE(tree(apps + u'/' + typed),
             (QStringList{QStringLiteral("New.desktop"), QStringLiteral("w リスト.desktop")}));
    QCOMPARE(QDir(MenuFiles::mergedMenusFolder()).entryList(QDir::Files).size(), 1);
    const QString menu = readText(MenuFiles(apps, typed).menuFilePath());
    QVERIFY(!menu.contains(QStringLiteral("OldCat")));
    QVERIFY(menu.contains(QStringLiteral("<Filename>%1-New.desktop</Filename>").arg(typed)));
    QCOMPARE(QDir(MenuFiles::directoriesFolder()).entryList(QDir::Files).size(), 1);
    // Remembered and shown as the folder is spelt.
    QVERIFY(showLinks(env, 3));
    combo = control<QComboBox>(WindowRegistry::instance().find(WindowKind::Links), "Combo1");
    QCOMPARE(combo->itemText(0), typed);
    QCOMPARE(combo->itemText(1), QStringLiteral("(N/A)"));
    WindowRegistry::instance().unload(WindowKind::Links);
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpl0"), typed);
}

void LinkWindowTest::recentDestinations_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("used");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("folders");  // in the applications folder
    const QString na = QStringLiteral("(N/A)");
    QTest::newRow("first use") << QStringList{na, na, na, na, na} << QStringLiteral("Online")
                               << QStringList{QStringLiteral("Online"), na, na, na, na}
                               << QStringList();
    QTest::newRow("known one moves up")
        << QStringList{"a", "b", "c", "d", "e"} << QStringLiteral("d")
        << QStringList{"d", "a", "b", "c", "e"} << QStringList();
    QTest::newRow("old lower-cased item of its folder leaves")
        << QStringList{"a", "tools", "c", "", ""} << QStringLiteral("Tools")
        << QStringList{"Tools", "a", "c", "", ""} << QStringList{"Tools"};
    QTest::newRow("another spelling stays")
        << QStringList{"a", "tools", "c", "", ""} << QStringLiteral("Tools")
        << QStringList{"Tools", "a", "tools", "c", ""} << QStringList{"Tools", "tools"};
    QTest::newRow("old item of two spellings stays")
        << QStringList{"tools", "", "", "", ""} << QStringLiteral("Tools")
        << QStringList{"Tools", "tools", "", "", ""} << QStringList{"Tools", "TOOLS"};
    QTest::newRow("sixth falls off") << QStringList{"a", "b", "c", "d", "e"} << QStringLiteral("f")
                                     << QStringList{"f", "a", "b", "c", "d"} << QStringList();
    QTest::newRow("empty slots kept") << QStringList{"a", "", "", "", ""} << QStringLiteral("b")
                                      << QStringList{"b", "a", "", "", ""} << QStringList();
}

void LinkWindowTest::recentDestinations() {
    QFETCH(QStringList, before);
    QFETCH(QString, used);
    QFETCH(QStringList, after);
    QFETCH(QStringList, folders);
    TestEnvironment env;
    for (const QString& folder : folders) {
        QVERIFY(QDir().mkpath(applicationsFolder() + u'/' + folder));
    }
    QCOMPARE(withRecentDestination(before, used), after);
}

void LinkWindowTest::closingEndsProgram_data() {
    QTest::addColumn<bool>("mainMenuOpen");
    QTest::newRow("alone") << false;
    QTest::newRow("main menu open") << true;
}

void LinkWindowTest::closingEndsProgram() {
    QFETCH(bool, mainMenuOpen);
    TestEnvironment env;
    SettingsStore::write("Orvalde", "qmorn", "lpl2", QStringLiteral("kept"));
    makeCurrent(prepare(env, QStringLiteral("w"), {}));
    auto& registry = WindowRegistry::instance();
    if (mainMenuOpen) {
        registry.show(WindowKind::MainMenu);
    }
    Form* form = showLinks(env);
    QVERIFY(form);
    QCOMPARE(control<QComboBox>(form, "Combo1")->itemText(2), QStringLiteral("kept"));
    control<QComboBox>(form, "Combo1")->removeItem(4);
    registry.unload(WindowKind::Links);
    QCOMPARE(env.endCount, mainMenuOpen ? 0 : 1);
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpl2"), QStringLiteral("kept"));
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpl4", "x"), QString());
}

// A freedesktop menu implementation (GMenu) reads what "作成" wrote, in a world of its own: the
// menu's configuration and data folders are temporary, with an "applications.menu" that merges
// "applications-merged" as distributions' menus do.
void LinkWindowTest::realMenuShowsTree() {
    TestEnvironment env;
    openMainMenu();
    // Programs that exist (the menu hides an entry whose program it cannot find), one of them in
    // a folder whose name holds "%".
    QString percent;
    for (const QString& name : {QStringLiteral("bin/tool"), QStringLiteral("bin/5%/tool")}) {
        percent = env.writeFile(name, "#!/bin/sh\n");
        QVERIFY(
            QFile::setPermissions(percent, QFile::permissions(percent) | QFileDevice::ExeOwner));
    }
    const QString program = env.root() + QStringLiteral("/bin/tool");
    env.writeFile(QStringLiteral("bin/tool.png"), pngImage(24));
    const Prepared p = prepare(env, QStringLiteral("Soft"),
                               {entry(1, QStringLiteral("Tool"), kUnset, percent),
                                entry(1, QStringLiteral("Calc"), QStringLiteral("Office"), program),
                                entry(1, QStringLiteral(".dot"), QStringLiteral("Office"), program),
                                entry(2, QStringLiteral("Unregistered"), kUnset, program)});
    makeCurrent(p);
    const QString xdg = env.makeFolder(QStringLiteral("xdg"));
    env.writeFile(QStringLiteral("xdg/config/menus/applications.menu"),
                  "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                  " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                  "<Menu><Name>Applications</Name><DefaultAppDirs/><DefaultDirectoryDirs/>"
                  "<DefaultMergeDirs/></Menu>\n");
    env.makeFolder(QStringLiteral("xdg/data"));

    const auto copyTo = [&](const QString& destination) {
        env.prompt.clear();
        Form* form = showLinks(env);
        QVERIFY(form);
        control<QComboBox>(form, "Combo1")->setEditText(destination);
        env.prompt.answers = {AnswerYes};
        control<QPushButton>(form, "Command5")->click();
        QCOMPARE(env.prompt.texts().last(), kDone);
    };
    const auto menu = [&](const QStringList& options = {}) {
        QProcess reader;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), xdg + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), xdg + QStringLiteral("/data"));
        environment.remove(QStringLiteral("XDG_MENU_PREFIX"));
        reader.setProcessEnvironment(environment);
        reader.start(
            QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                ? QStringLiteral("/usr/bin/python3")
                : QStringLiteral("python3"),
            QStringList{QStringLiteral(QM_SOURCE_DIR "/tests/shortcuts/menutree.py")} + options);
        const bool ran =
            reader.waitForFinished(30000) && reader.exitStatus() == QProcess::NormalExit;
        const QString errors = QString::fromUtf8(reader.readAllStandardError());
        if (!ran || reader.exitCode() == 77) {
            return QStringList{QStringLiteral("unavailable: ") + errors};
        }
        QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n');
        lines.removeAll(QString());
        lines.sort();
        return reader.exitCode() == 0 ? lines : QStringList{errors};
    };

    copyTo(QStringLiteral("My Soft"));
    if (QTest::currentTestFailed()) {
        return;
    }
    const QStringList first = menu();
    if (first.value(0).startsWith(QStringLiteral("unavailable: "))) {
        if (qEnvironmentVariableIsSet("CI")) {
            QFAIL(qPrintable(first.first()));
        }
        QSKIP(qPrintable(first.first()));
    }
    QCOMPARE(first, (QStringList{QStringLiteral("Applications/My Soft/"),
                                 QStringLiteral("Applications/My Soft/Office/"),
                                 QStringLiteral("Applications/My Soft/Office/.dot"),
                                 QStringLiteral("Applications/My Soft/Office/Calc"),
                                 QStringLiteral("Applications/My Soft/Soft リスト"),
                                 QStringLiteral("Applications/My Soft/Tool")}));
    // Each entry shows its program's own icon, found in the user's icon theme at its size; the
    // list entry shows the program's, a program without one the generic icon.
    const QString icon = programIconName(p.listFolder, program);
    QCOMPARE(menu({QStringLiteral("--icons")}),
             (QStringList{"Applications/My Soft/Office/.dot\t" + icon,
                          "Applications/My Soft/Office/Calc\t" + icon,
                          QStringLiteral("Applications/My Soft/Soft リスト\tquillmorn"),
                          QStringLiteral("Applications/My Soft/Tool\tapplication-x-executable")}));
    QCOMPARE(QImage(userIconThemeFolder() + "/24x24/apps/" + icon + ".png").size(), QSize(24, 24));

    // Replaced under a spelling that differs only in case: one folder, nothing of the old one.
    saveListFile(listFileOf(p.listFolder),
                 {entry(1, QStringLiteral("Editor"), QStringLiteral("Tools"), program)});
    copyTo(QStringLiteral("my soft"));
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(env.prompt.texts().first(), kDone);
    QVERIFY(env.prompt.texts().contains(kReplace));
    QCOMPARE(menu(), (QStringList{QStringLiteral("Applications/my soft/"),
                                  QStringLiteral("Applications/my soft/Soft リスト"),
                                  QStringLiteral("Applications/my soft/Tools/"),
                                  QStringLiteral("Applications/my soft/Tools/Editor")}));
}

void LinkWindowTest::entriesCarryIcons_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("sizes");  // none: the generic icon of its kind
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("Windows program") << "tool.exe" << QStringList{"16x16", "32x32"} << "<missing>";
    QTest::newRow("AppImage") << "Tool.AppImage" << QStringList{"48x48"} << "ToolWindow";
    QTest::newRow("image shipped beside") << "tool" << QStringList{"24x24"} << "<missing>";
    QTest::newRow("named by its desktop file") << "start" << QStringList{"128x128"} << "<missing>";
    QTest::newRow("no icon of its own") << "bare" << QStringList{} << "<missing>";
}

// Each entry carries its program's icon, put into the user's icon theme; a rebuild that removes
// the entry removes those files and nothing else.
void LinkWindowTest::entriesCarryIcons() {
    QFETCH(QString, program);
    QFETCH(QStringList, sizes);
    QFETCH(QString, windowClass);
    TestEnvironment env;
    const QByteArray appImage = buildAppImage(
        env.root(), {{{".DirIcon", pngImage(48)}, {"tool.desktop", appDesktopEntry()}}, {}});
    if (appImage.isEmpty()) {
        QSKIP("mksquashfs is missing");
    }
    env.writeFile("Soft/t/tool.exe", testExecutable());
    env.writeFile("Soft/t/Tool.AppImage", appImage);
    env.writeFile("Soft/t/tool.png", pngImage(24));
    env.writeFile("Soft/t/start.desktop", "[Desktop Entry]\nIcon=starter\n");
    env.writeFile("Soft/t/share/icons/hicolor/128x128/apps/starter.png", pngImage(128));
    for (const char* script : {"Soft/t/tool", "Soft/t/start", "Soft/t/bare"}) {
        env.writeFile(script, "#!/bin/sh\n");
    }
    const QString exe = env.root() + "/Soft/t/" + program;
    const Prepared p = prepare(env, "Soft", {entry(1, "Tool", kUnset, exe)});
    const QString theme = userIconThemeFolder();
    const QStringList foreign = {
        env.writeFile("../home/.local/share/icons/hicolor/48x48/apps/other.png", pngImage(48)),
        env.writeFile("../home/.local/share/icons/hicolor/48x48/apps/"
                      "quillmorn-app-0123456789abcdef.png",
                      pngImage(48))};

    LinkTreeBuilder(p.listFolder, p.workFolder).rebuild();
    const QString shortcut = p.listFolder + "/Tool.desktop";
    const QString icon = desktopValue(shortcut, "Icon");
    QCOMPARE(icon,
             sizes.isEmpty() ? "application-x-executable" : programIconName(p.listFolder, exe));
    QCOMPARE(desktopValue(shortcut, "StartupWMClass"), windowClass);
    QStringList written;
    for (const QString& size : QDir(theme).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QImage image(theme + u'/' + size + "/apps/" + icon + ".png");
        if (!image.isNull()) {
            QCOMPARE(QString("%1x%2").arg(image.width()).arg(image.height()), size);
            written << size;
        }
    }
    written.sort();
    QCOMPARE(written, sizes);

    saveListFile(listFileOf(p.listFolder), {});
    LinkTreeBuilder(p.listFolder, p.workFolder).rebuild();
    QDirIterator left(theme, {icon + ".*"}, QDir::Files, QDirIterator::Subdirectories);
    QVERIFY(!left.hasNext());
    for (const QString& path : foreign) {
        QVERIFY(QFileInfo::exists(path));
    }
}

QTEST_MAIN(LinkWindowTest)
#include "tst_linkwindow.moc"
