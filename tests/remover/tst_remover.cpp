// Tests of qmornclean: what it deletes, what it leaves, and what it says.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

#include "platform/settingsstore.h"
#include "remover/appearance.h"
#include "remover/portablefolder.h"
#include "remover/removerlanguage.h"
#include "remover/removerprompt.h"
#include "remover/removerwindow.h"
#include "remover/settingsremover.h"

using namespace qmclean;

namespace {

struct Shown {
    QString text;
    QString title;
};

class FakeRemoverPrompt final : public RemoverPrompt {
public:
    QList<Shown> shown;
    void message(QWidget*, const QString& text, const QString& title) override {
        shown.append({text, title});
    }
};

const QStringList kKeys = {"pmode", "kmode", "lpd0", "lpd1", "lpd2", "lpd3",
                           "lpd4",  "lpl0",  "lpl1", "lpl2", "lpl3", "lpl4"};

}  // namespace

class TestRemover : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void removesTheWholeSection_data();
    void removesTheWholeSection();
    void removesWhatTheMainProgramStored();
    void secondRunReportsAnErrorAndKeepsRunning();
    void quitDeletesNothing();
    void closeBoxEndsTheProgram();
    void windowTextsAndTabOrder();
    void speaksJapaneseInReadableLetters();
    void unwritableStoreIsReportedAndLosesNothing();
    void followsThePortableRule_data();
    void followsThePortableRule();

private:
    QString configFolder() const { return m_dir->path() + "/home/.config"; }
    // Writes the values the way the main program's settings store does: one INI file named
    // after the application in lower case, the section as a group, keys in lower case.
    void writeLikeMainProgram(const QString& fileName, const QString& group,
                              const QStringList& keys);
    static QStringList groupsOf(const QString& path);
    RemoverWindow* clickRemove();

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedHome;
    QByteArray m_savedConfig;
    FakeRemoverPrompt m_prompt;
    std::unique_ptr<RemoverWindow> m_window;
};

void TestRemover::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(configFolder()));
    m_savedHome = qgetenv("HOME");
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(m_dir->path() + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder()));
    // Everything below works on the temporary folder only; stop here if it would not.
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
             configFolder());
    m_prompt.shown.clear();
    RemoverPrompt::setInstance(&m_prompt);
}

void TestRemover::cleanup() {
    m_window.reset();
    SettingsRemover::setStoreFolder(QString());
    RemoverPrompt::setInstance(nullptr);
    qputenv("HOME", m_savedHome);
    if (m_savedConfig.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", m_savedConfig);
    }
    m_dir.reset();
}

void TestRemover::writeLikeMainProgram(const QString& fileName, const QString& group,
                                       const QStringList& keys) {
    QSettings settings(configFolder() + u'/' + fileName, QSettings::IniFormat);
    settings.beginGroup(group);
    for (const QString& key : keys) {
        settings.setValue(key.toLower(), QStringLiteral("/home/user/%1").arg(key));
    }
    settings.endGroup();
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

QStringList TestRemover::groupsOf(const QString& path) {
    QSettings settings(path, QSettings::IniFormat);
    return settings.childGroups();
}

RemoverWindow* TestRemover::clickRemove() {
    if (!m_window) {
        m_window = std::make_unique<RemoverWindow>();
        m_window->show();
    }
    auto* button = m_window->findChild<QPushButton*>(QStringLiteral("Command1"));
    Q_ASSERT(button);
    QTest::mouseClick(button, Qt::LeftButton);
    return m_window.get();
}

void TestRemover::removesTheWholeSection_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("group");
    QTest::newRow("as the main program writes it") << "orvalde.ini"
                                                   << "qmorn";
    QTest::newRow("application in another case") << "Orvalde.ini"
                                                 << "qmorn";
    QTest::newRow("section in another case") << "orvalde.ini"
                                             << "QMorn";
    QTest::newRow("both in upper case") << "ORVALDE.INI"
                                        << "QMORN";
}

void TestRemover::removesTheWholeSection() {
    QFETCH(QString, fileName);
    QFETCH(QString, group);
    writeLikeMainProgram(fileName, group, kKeys);
    writeLikeMainProgram(fileName, "other", {"keep"});
    writeLikeMainProgram("otherapp.ini", "qmorn", {"lpd0"});

    RemoverWindow* window = clickRemove();

    QCOMPARE(m_prompt.shown.size(), 1);
    QCOMPARE(m_prompt.shown[0].text, QStringLiteral("完了しました。"));
    QCOMPARE(m_prompt.shown[0].title, QStringLiteral("qmornclean"));
    QVERIFY(window->hasEnded());
    QVERIFY(!window->isVisible());

    // The application's store and its other section stay, with their values.
    const QString path = configFolder() + u'/' + fileName;
    QVERIFY(QFile::exists(path));
    QCOMPARE(groupsOf(path), QStringList{"other"});
    QSettings kept(path, QSettings::IniFormat);
    QCOMPARE(kept.value("other/keep").toString(), QStringLiteral("/home/user/keep"));
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(!raw.readAll().contains("lpd0"));
    // Another application's section of the same name is not touched.
    QSettings other(configFolder() + "/otherapp.ini", QSettings::IniFormat);
    QCOMPARE(other.value("qmorn/lpd0").toString(), QStringLiteral("/home/user/lpd0"));
}

// The main program's own store, as it is built today: the remover must keep finding it.
void TestRemover::removesWhatTheMainProgramStored() {
    for (const QString& key : kKeys) {
        qm::SettingsStore::write("Orvalde", "qmorn", key, "x");
    }
    qm::SettingsStore::write("Orvalde", "another", "key", "kept");
    QVERIFY(qm::SettingsStore::hasSection("orvalde", "QMORN"));

    QVERIFY(clickRemove()->hasEnded());
    QCOMPARE(m_prompt.shown.size(), 1);
    QCOMPARE(m_prompt.shown[0].text, QStringLiteral("完了しました。"));
    QVERIFY(!qm::SettingsStore::hasSection("Orvalde", "qmorn"));
    QCOMPARE(qm::SettingsStore::read("Orvalde", "qmorn", "lpd0", "gone"), QStringLiteral("gone"));
    QCOMPARE(qm::SettingsStore::read("Orvalde", "another", "key"), QStringLiteral("kept"));
}

void TestRemover::secondRunReportsAnErrorAndKeepsRunning() {
    writeLikeMainProgram("orvalde.ini", "qmorn", kKeys);
    QVERIFY(clickRemove()->hasEnded());
    m_window.reset();
    m_prompt.shown.clear();

    RemoverWindow* window = clickRemove();
    QCOMPARE(m_prompt.shown.size(), 1);
    QCOMPARE(m_prompt.shown[0].text, QStringLiteral("エラーが発生しました。"));
    QCOMPARE(m_prompt.shown[0].title, QStringLiteral("qmornclean"));
    QVERIFY(!window->hasEnded());
    QVERIFY(window->isVisible());

    // The user may try again, then quit.
    clickRemove();
    QCOMPARE(m_prompt.shown.size(), 2);
    QVERIFY(window->isVisible());
    QTest::mouseClick(window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QVERIFY(window->hasEnded());
    QCOMPARE(m_prompt.shown.size(), 2);
}

void TestRemover::quitDeletesNothing() {
    writeLikeMainProgram("orvalde.ini", "qmorn", kKeys);
    m_window = std::make_unique<RemoverWindow>();
    m_window->show();
    QTest::mouseClick(m_window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QVERIFY(m_window->hasEnded());
    QVERIFY(m_prompt.shown.isEmpty());
    QSettings settings(configFolder() + "/orvalde.ini", QSettings::IniFormat);
    settings.beginGroup("qmorn");
    QCOMPARE(settings.childKeys().size(), kKeys.size());
}

void TestRemover::closeBoxEndsTheProgram() {
    m_window = std::make_unique<RemoverWindow>();
    m_window->show();
    m_window->close();
    QVERIFY(m_window->hasEnded());
    QVERIFY(m_prompt.shown.isEmpty());
}

void TestRemover::windowTextsAndTabOrder() {
    RemoverWindow window;
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Quillmorn アンインストール"));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(),
             QStringLiteral("Quillmornの設定を削除します。"));
    auto* remove = window.findChild<QPushButton*>("Command1");
    auto* quit = window.findChild<QPushButton*>("Command2");
    QCOMPARE(remove->text(), QStringLiteral("削除"));
    QCOMPARE(quit->text(), QStringLiteral("終了"));
    // "削除" comes first in the tab order and has the focus when the window opens.
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), remove);
    QCOMPARE(remove->nextInFocusChain(), quit);
    // The client area and the buttons are laid out from twips: 15 to a pixel at 96 dpi.
    const double scale = window.logicalDpiX() / 1440.0;
    QCOMPARE(window.width(), qRound(4680 * scale));
    QCOMPARE(window.height(), qRound(975 * scale));
    QVERIFY(remove->geometry().bottom() < quit->geometry().top());
}

void TestRemover::unwritableStoreIsReportedAndLosesNothing() {
    if (geteuid() == 0) {
        QSKIP("file permissions do not bind the superuser");
    }
    writeLikeMainProgram("orvalde.ini", "qmorn", kKeys);
    const QString path = configFolder() + "/orvalde.ini";
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray before = raw.readAll();
    raw.close();
    const auto folderPermissions = QFile::permissions(configFolder());
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QFile::setPermissions(configFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    RemoverWindow* window = clickRemove();

    QFile::setPermissions(configFolder(), folderPermissions);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(m_prompt.shown.size(), 1);
    QCOMPARE(m_prompt.shown[0].text, QStringLiteral("エラーが発生しました。"));
    QVERIFY(window->isVisible());
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll(), before);
}

void TestRemover::speaksJapaneseInReadableLetters() {
    // Qt's own buttons speak Japanese, whatever the locale (the tests run under C.UTF-8).
    QVERIFY(installRemoverTranslations());
    QMessageBox box(QMessageBox::Question, "qmornclean", "?", QMessageBox::Yes | QMessageBox::No);
    QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));

    // With the program's font, its label is whole, not below 8 points, and clear of the buttons,
    // also where the desktop's own font is larger.
    const QFont desktopFont = QApplication::font();
    QFont large = desktopFont;
    large.setPointSize(11);
    QApplication::setFont(large);
    useProgramLook();
    RemoverWindow window;
    window.show();
    auto* label = window.findChild<QLabel*>("Label1");
    QVERIFY(label->font().pointSizeF() >= 8);
    const QRect needed = label->fontMetrics().boundingRect(
        label->contentsRect(), Qt::TextWordWrap | int(label->alignment()), label->text());
    QVERIFY2(label->contentsRect().contains(needed), qPrintable(QString::number(needed.width())));
    for (const char* name : {"Command1", "Command2"}) {
        QVERIFY(!label->geometry().intersects(window.findChild<QPushButton*>(name)->geometry()));
    }
    QApplication::setFont(desktopFont);
}

void TestRemover::followsThePortableRule_data() {
    QTest::addColumn<bool>("marker");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("portable");
    QTest::newRow("marker file") << true << QStringList() << QString() << true;
    QTest::newRow("switch") << false << QStringList{"--portable"} << QString() << true;
    QTest::newRow("neither") << false << QStringList{"-x"} << QString() << false;
    QTest::newRow("unwritable folder") << false << QStringList{"--portable"} << "/proc" << false;
}

void TestRemover::followsThePortableRule() {
    QFETCH(bool, marker);
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    QFETCH(bool, portable);
    const bool usable = folder.isEmpty();
    if (usable) {
        folder = m_dir->path() + "/stick";
        QVERIFY(QDir().mkpath(folder));
        QSettings stick(folder + "/orvalde.ini", QSettings::IniFormat);
        stick.setValue("qmorn/pmode", "1");
        stick.sync();
    }
    if (marker) {
        QFile file(folder + "/portable");
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    writeLikeMainProgram("orvalde.ini", "qmorn", kKeys);

    QCOMPARE(PortableFolder::apply(arguments, folder), portable);
    clickRemove();

    QCOMPARE(groupsOf(configFolder() + "/orvalde.ini").isEmpty(), !portable);
    if (usable) {
        QCOMPARE(groupsOf(folder + "/orvalde.ini").isEmpty(), portable);
    }
    QStringList expected;
    if (!usable) {
        expected << "ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。\n" +
                        folder;
    }
    expected << "完了しました。";
    QStringList texts;
    for (const Shown& shown : m_prompt.shown) {
        texts << shown.text;
    }
    QCOMPARE(texts, expected);
}

QTEST_MAIN(TestRemover)
#include "tst_remover.moc"
