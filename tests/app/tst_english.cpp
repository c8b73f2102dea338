// The English interface: the language choice, every window walked in both languages (nothing
// left in Japanese but stored data, no text cut off at 9 pt), stored values kept in Japanese, and
// translation files that lupdate finds complete.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include "app/appearance.h"
#include "app/elidinglabel.h"
#include "app/form.h"
#include "app/language.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "app/workingfolder.h"
#include "catalogue/cataloguewindows.h"
#include "folders/folderswindows.h"
#include "installer/installerwindows.h"
#include "menu/menuwindows.h"
#include "registration/registrationwindows.h"
#include "remover/appearance.h"
#include "remover/removerlanguage.h"
#include "remover/removerwindow.h"
#include "shortcuts/shortcutswindows.h"
#include "support/testenvironment.h"

using namespace qm;

namespace {

bool hasJapanese(const QString& text) {
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(japanese);
}

// Every text a window shows or offers (titles, captions, tool tips, menus, list contents).
QStringList shownTexts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        texts << widget->toolTip();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            texts << label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            texts << box->title();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            texts << edit->text();
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts << combo->itemText(i);
            }
            texts << combo->currentText();
        } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            const QAbstractItemModel* model = view->model();
            for (int column = 0; model && column < model->columnCount(); ++column) {
                texts << model->headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < model->rowCount(); ++row) {
                    texts << model->index(row, column).data().toString();
                }
            }
        } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
            texts << menu->title();
        }
    }
    const auto actions = window->findChildren<QAction*>();
    for (QAction* action : actions) {
        texts << action->text() << action->toolTip();
    }
    texts.removeAll(QString());
    return texts;
}

// The label and button texts that do not fit their controls, and in English also those drawn in
// a smaller font to fit (the Japanese layouts shrink a few long captions on purpose).
QStringList clippedTexts(QWidget* window, bool english) {
    QStringList clipped;
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(window)) {
            continue;
        }
        const QFontMetrics metrics(widget->font());
        const QString name = widget->objectName() + u' ';
        QString text;
        QSize needed;
        QSize room = widget->contentsRect().size();
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
            // The Japanese texts keep the fixed places they were made for: one that does not fit
            // ends in an ellipsis and shows whole as its tool tip. English ones must fit.
            if (auto* eliding = qobject_cast<ElidingLabel*>(label);
                eliding && !english && eliding->toolTip() == eliding->text()) {
                continue;
            }
            text = label->text();
            room -= QSize(2 * qMax(0, label->indent()) + 2 * label->margin(), 0);
            // One line is measured by its ink: a closing "。" leaves half its advance blank.
            needed = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                     : text.contains(u'\n')
                         ? metrics.size(Qt::TextShowMnemonic, text)
                         : QSize(metrics.tightBoundingRect(text).right() + 1, metrics.height());
            if (label->wordWrap()) {
                room.setWidth(0);
                room.setHeight(label->height());
            }
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            text = button->text();
            // The Japanese captions were laid out to fill a button up to its frame, as full-width
            // glyphs do; English ones keep the button's padding free.
            needed = metrics.size(Qt::TextShowMnemonic, text) + QSize(english ? 8 : 0, 0);
        } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            text = static_cast<QAbstractButton*>(widget)->text();
            needed = QSize(widget->sizeHint().width(), metrics.height());
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            text = box->title();
            needed = QSize(metrics.horizontalAdvance(text) + 16, 0);
            room.setHeight(0);
        }
        if (text.isEmpty()) {
            continue;
        }
        if (needed.width() > room.width() || needed.height() > room.height()) {
            clipped << name + text +
                           QStringLiteral(" (%1x%2 in %3x%4)")
                               .arg(needed.width())
                               .arg(needed.height())
                               .arg(room.width())
                               .arg(room.height());
        } else if (english && widget->font().pointSizeF() < window->font().pointSizeF() &&
                   widget->font().family() == window->font().family()) {
            clipped << name + text + QStringLiteral(" (smaller font)");
        }
    }
    return clipped;
}

}  // namespace

class TestEnglish : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void languageChoice_data();
    void languageChoice();
    void everyWindow_data();
    void everyWindow();
    void removerWindow_data();
    void removerWindow();
    void storedValuesStayJapanese();
    void translationFilesAreComplete_data();
    void translationFilesAreComplete();

private:
    // A prepared working folder with a registered and an unregistered program folder; the
    // exchange record and the move source name the unregistered one, with the stored placeholders.
    void makeWorkingFolder();
    std::unique_ptr<test::TestEnvironment> m_env;
};

void TestEnglish::initTestCase() {
    // The font the program sets for its fixed layouts.
    useProgramLook();
    registerMenuWindows();
    registerCatalogueWindows();
    registerRegistrationWindows();
    registerFoldersWindows();
    registerInstallerWindows();
    registerShortcutsWindows();
}

void TestEnglish::cleanup() {
    m_env.reset();
    removeTranslations();
}

void TestEnglish::makeWorkingFolder() {
    const QString work = m_env->makeFolder("Soft");
    m_env->writeFile("Soft/Viewer/viewer.exe", "MZ");
    m_env->writeFile("Soft/Viewer/readme.txt", "Viewer 1.0");
    m_env->makeFolder("Soft/Editor");
    state().workFolder = work;
    state().listFolder = listFolderOf(work);
    m_env->prompt.answers.clear();
    prepareWorkingFolder(work);
    m_env->prompt.messages.clear();
    const QByteArray list = "1,\"Viewer\",\"Viewer\",\"Tools\",\"" + work.toUtf8() +
                            "/Viewer/viewer.exe\",\"A viewer\"\r\n";
    QFile file(listFileOf(state().listFolder));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(list);
    }
    ProgramState& s = state();
    s.moveSource = work + "/Editor";
    s.editState = 2;
    s.editName = s.editFolder = "Editor";
    s.editCategory = s.editDescription = s.categoryTable[1] = QStringLiteral("未設定");
    s.editExe = QStringLiteral("不明");
}

void TestEnglish::languageChoice_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<bool>("english");
    QTest::newRow("English system") << "" << QStringList{"en-US", "en"} << true;
    QTest::newRow("British English") << "" << QStringList{"en-GB"} << true;
    QTest::newRow("Japanese system") << "" << QStringList{"ja-JP", "ja"} << false;
    QTest::newRow("C locale") << "" << QStringList{"C"} << false;
    QTest::newRow("no language") << "" << QStringList{} << false;
    QTest::newRow("German, English second") << "" << QStringList{"de-DE", "en-US"} << false;
    QTest::newRow("variable en") << "en" << QStringList{"ja-JP"} << true;
    QTest::newRow("variable ja") << "ja" << QStringList{"en-US"} << false;
    QTest::newRow("unknown variable") << "fr" << QStringList{"en-US"} << true;
}

void TestEnglish::languageChoice() {
    QFETCH(QString, variable);
    QFETCH(QStringList, uiLanguages);
    QFETCH(bool, english);
    QCOMPARE(chooseLanguage(variable, uiLanguages) == UiLanguage::English, english);
}

void TestEnglish::everyWindow_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("english");
    const std::pair<const char*, WindowKind> kinds[] = {{"main menu", WindowKind::MainMenu},
                                                        {"catalogue", WindowKind::Catalogue},
                                                        {"registration", WindowKind::Registration},
                                                        {"move", WindowKind::Move},
                                                        {"installer", WindowKind::Installer},
                                                        {"links", WindowKind::Links},
                                                        {"splash", WindowKind::Splash}};
    for (const auto& [name, kind] : kinds) {
        QTest::addRow("%s, Japanese", name) << int(kind) << false;
        QTest::addRow("%s, English", name) << int(kind) << true;
    }
}

void TestEnglish::everyWindow() {
    QFETCH(int, kind);
    QFETCH(bool, english);
    m_env = std::make_unique<test::TestEnvironment>();
    QVERIFY(installTranslations(english ? UiLanguage::English : UiLanguage::Japanese) || !english);
    makeWorkingFolder();

    Form* window = WindowRegistry::instance().show(static_cast<WindowKind>(kind));
    QVERIFY(window);
    QVERIFY(test::waitFor([&] { return window->isVisible(); }));
    QCoreApplication::processEvents();

    if (english) {
        QStringList left;
        for (const QString& text : shownTexts(window)) {
            if (hasJapanese(text)) {
                left << text;
            }
        }
        QVERIFY2(left.isEmpty(), qPrintable(left.join(" | ")));
        for (const QString& text : m_env->prompt.texts()) {
            QVERIFY2(!hasJapanese(text), qPrintable(text));
        }
    }
    // No label is set below 8 points with the program's font.
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    QVERIFY(!labels.isEmpty());
    for (const QLabel* label : labels) {
        QVERIFY2(label->font().pointSizeF() >= 8, qPrintable(label->objectName()));
    }
    const QStringList clipped = clippedTexts(window, english);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(" | ")));
}

void TestEnglish::removerWindow_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("title");
    QTest::newRow("Japanese") << false << QStringLiteral("Quillmorn アンインストール");
    QTest::newRow("English") << true << "Quillmorn uninstall";
}

void TestEnglish::removerWindow() {
    QFETCH(bool, english);
    QFETCH(QString, title);
    qputenv("QUILLMORN_LANG", english ? "en" : "ja");
    qmclean::installRemoverTranslations();
    qmclean::useProgramLook();
    qmclean::RemoverWindow window;
    window.show();
    QCOMPARE(window.windowTitle(), title);
    for (const QString& text : shownTexts(&window)) {
        QVERIFY2(!english || !hasJapanese(text), qPrintable(text));
    }
    const QStringList clipped = clippedTexts(&window, english);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(" | ")));
    qputenv("QUILLMORN_LANG", "ja");
    qmclean::installRemoverTranslations();
}

void TestEnglish::storedValuesStayJapanese() {
    m_env = std::make_unique<test::TestEnvironment>();
    QVERIFY(installTranslations(UiLanguage::English));
    makeWorkingFolder();
    const ProgramState& s = state();
    Form* window = WindowRegistry::instance().show(WindowKind::Registration);
    auto* category = window->findChild<QComboBox*>("Combo1");
    QVERIFY(category);
    QCOMPARE(category->currentText(), QString("Not set"));
    QVERIFY(test::waitFor([&] { return category->count() > 0; }));
    QCOMPARE(category->itemText(0), QString("Not set"));
    QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(s.editCategory, QStringLiteral("未設定"));
    QCOMPARE(s.editDescription, QStringLiteral("未設定"));
    QCOMPARE(s.editState, 2);
}

void TestEnglish::translationFilesAreComplete_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("sources");
    QTest::newRow("qmorn") << "quillmorn_en.ts"
                           << QStringList{"app",          "platform", "menu",      "catalogue",
                                          "registration", "folders",  "installer", "shortcuts"};
    QTest::newRow("qmornclean") << "qmornclean_en.ts" << QStringList{"remover"};
}

void TestEnglish::translationFilesAreComplete() {
    QFETCH(QString, file);
    QFETCH(QStringList, sources);
    // Bring a copy up to date with the code, as lupdate does: what the code has and the file
    // lacks comes in unfinished, what the file has and the code lost is marked vanished.
    QTemporaryDir dir;
    const QString copy = dir.filePath(file);
    QVERIFY(QFile::copy(QStringLiteral(QM_SOURCE_DIR "/translations/") + file, copy));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(QM_SOURCE_DIR));
    lupdate.start(
        QStringLiteral(QM_LUPDATE),
        QStringList{"-silent", "-locations", "none", "-I", "."} << sources << "-ts" << copy);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile ts(copy);
    QVERIFY(ts.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&ts);
    int messages = 0;
    QString source;
    QStringList faults;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"source") {
            source = xml.readElementText();
            ++messages;
        } else if (xml.name() == u"translation") {
            const QString type = xml.attributes().value("type").toString();
            const QString text = xml.readElementText();
            if (!type.isEmpty() || text.isEmpty() || hasJapanese(text)) {
                faults << source + QStringLiteral(" [") + type + u']';
            }
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 0);
    QCOMPARE(faults, QStringList());
}

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
