#include <QStringEncoder>
#include <QTest>

#include "app/folderbrowse.h"
#include "app/workingfolder.h"
#include "platform/paths.h"
#include "support/testenvironment.h"

using namespace qm;

class TestWorkingFolder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<test::TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void programFolderIsUnderDataHome();
    void settingsFileRoundTrip_data();
    void settingsFileRoundTrip();
    void settingsFileIsOneCrLfLine();
    void legacySettingsFileReads();
    void prepareKeepsListAndRewritesSettings();
    void sameLastPartGetsListFolderOfItsOwn();
    void listFolderBelongsToItsWorkingFolder_data();
    void listFolderBelongsToItsWorkingFolder();
    void listFolderIsFoundInAnyLetterCase();
    void enumerationSkipsUnpreparedAndDotFolders();
    void browseTrimsAndCancels();

private:
    std::unique_ptr<test::TestEnvironment> m_env;
};

void TestWorkingFolder::programFolderIsUnderDataHome() {
    QCOMPARE(programFolder(), m_env->programFolder());
    QVERIFY(QFileInfo(m_env->programFolder()).isDir());
    QCOMPARE(listFolderOf("/d/Soft"), m_env->programFolder() + "/Soft");
}

void TestWorkingFolder::settingsFileRoundTrip_data() {
    QTest::addColumn<QString>("workFolder");
    QTest::newRow("plain") << "/home/u/Soft";
    QTest::newRow("spaces") << "/home/u/My Soft";
    QTest::newRow("comma") << "/home/u/a,b";
    QTest::newRow("leading space") << " /odd";
    QTest::newRow("leading quote") << "\"/odd";
    QTest::newRow("japanese") << "/home/u/ソフト集";
}

void TestWorkingFolder::settingsFileRoundTrip() {
    QFETCH(QString, workFolder);
    const QString listFolder = m_env->makeFolder("list");
    QVERIFY(writeSettingsFile(listFolder, workFolder));
    const auto readBack = readSettingsFile(listFolder);
    QVERIFY(readBack);
    if (workFolder.startsWith('"')) {
        // A leading double quote cannot be held by the format; it must not cut the path.
        QCOMPARE(*readBack, QString("''/odd"));
    } else {
        QCOMPARE(*readBack, workFolder);
    }
}

void TestWorkingFolder::settingsFileIsOneCrLfLine() {
    const QString listFolder = m_env->makeFolder("list");
    QVERIFY(writeSettingsFile(listFolder, "/home/u/ソフト"));
    QCOMPARE(test::TestEnvironment::readFile(listFolder + "/settings.dat"),
             QString("/home/u/ソフト\r\n").toUtf8());
}

void TestWorkingFolder::legacySettingsFileReads() {
    QStringEncoder cp932("CP932");
    const QByteArray bytes = cp932.encode(QString("D:\\ソフト\\表示,x\r\n"));
    m_env->writeFile("list/SETTINGS.DAT", bytes);
    const auto readBack = readSettingsFile(m_env->root() + "/list");
    QVERIFY(readBack);
    QCOMPARE(*readBack, QString("D:\\ソフト\\表示"));
    QVERIFY(!readSettingsFile(m_env->root() + "/nowhere"));
}

void TestWorkingFolder::prepareKeepsListAndRewritesSettings() {
    QVERIFY(!isPrepared("/d/Soft"));
    prepareWorkingFolder("/d/Soft");
    QVERIFY(isPrepared("/d/Soft"));
    QCOMPARE(m_env->prompt.messages.size(), 1);
    QCOMPARE(m_env->prompt.messages[0].text, QString("作業フォルダを作成しました。"));
    QCOMPARE(m_env->prompt.messages[0].title, QString());
    const QString index = m_env->programFolder() + "/Soft/index.qmx";
    QFile file(index);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1,a,a,b,c,d\r\n");
    file.close();
    prepareWorkingFolder("/d/Soft");
    QCOMPARE(test::TestEnvironment::readFile(index), QByteArray("1,a,a,b,c,d\r\n"));
    QCOMPARE(readSettingsFile(m_env->programFolder() + "/Soft").value(), QString("/d/Soft"));
}

void TestWorkingFolder::sameLastPartGetsListFolderOfItsOwn() {
    // Another working folder's registrations are never taken over: the user is told, and the
    // second one gets a numbered list folder that is found again by its "settings.dat".
    prepareWorkingFolder("/d/Soft");
    prepareWorkingFolder("/e/Work/Soft");
    QCOMPARE(preparedWorkingFolders(), (QStringList{"/d/Soft", "/e/Work/Soft"}));
    QCOMPARE(listFolderOf("/e/Work/Soft"), m_env->programFolder() + "/Soft (2)");
    QCOMPARE(listFolderOf("/d/Soft"), m_env->programFolder() + "/Soft");
    QCOMPARE(m_env->prompt.messages.size(), 3);
    QCOMPARE(m_env->prompt.messages[1].text,
             QString("作業フォルダ Soft は別の管理する対象のフォルダ /d/Soft のものです。\n"
                     "/e/Work/Soft の作業フォルダとして Soft (2) を使います。"));
}

void TestWorkingFolder::listFolderBelongsToItsWorkingFolder_data() {
    QTest::addColumn<QString>("prepared");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("listFolder");
    QTest::addColumn<bool>("isOwn");
    // "@" stands for a folder of the test that exists.
    QTest::newRow("the same path") << "/d/Soft"
                                   << "/d/Soft"
                                   << "Soft" << true;
    QTest::newRow("another folder with the last part") << "/d/Soft"
                                                       << "/e/Soft"
                                                       << "Soft (2)" << false;
    QTest::newRow("lower case of a folder not there") << "/mnt/Soft"
                                                      << "/mnt/soft"
                                                      << "Soft" << true;
    QTest::newRow("two folders that differ in case") << "@/Apps"
                                                     << "@/APPS"
                                                     << "APPS (2)" << false;
}

void TestWorkingFolder::listFolderBelongsToItsWorkingFolder() {
    QFETCH(QString, prepared);
    QFETCH(QString, asked);
    QFETCH(QString, listFolder);
    QFETCH(bool, isOwn);
    for (QString* path : {&prepared, &asked}) {
        if (path->startsWith('@')) {
            path->replace(0, 1, m_env->root());
            QDir().mkpath(*path);
        }
    }
    prepareWorkingFolder(prepared);
    QCOMPARE(listFolderOf(asked), m_env->programFolder() + '/' + listFolder);
    QCOMPARE(isPrepared(asked), isOwn);
}

void TestWorkingFolder::listFolderIsFoundInAnyLetterCase() {
    // The recent-folder list keeps "/mnt/usb/soft" for a drive that is not mounted now.
    prepareWorkingFolder("/mnt/usb/Soft");
    const QString real = m_env->programFolder() + "/Soft";
    QCOMPARE(listFolderOf("/mnt/usb/soft"), real);
    QVERIFY(isPrepared("/mnt/usb/soft"));
    QVERIFY(prepareWorkingFolder("/mnt/usb/soft"));
    QCOMPARE(QDir(m_env->programFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{"Soft"});
    // With two spellings on disk neither is taken for a third, and no third is made.
    QDir().mkpath(m_env->programFolder() + "/SOFT");
    QCOMPARE(listFolderOf("/mnt/usb/soft"), m_env->programFolder() + "/soft");
    QVERIFY(!isPrepared("/mnt/usb/soft"));
    m_env->prompt.clear();
    QVERIFY(!prepareWorkingFolder("/mnt/usb/soft"));
    QCOMPARE(m_env->prompt.messages.size(), 1);
    QStringList listFolders =
        QDir(m_env->programFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    listFolders.sort();
    QCOMPARE(listFolders, (QStringList{"SOFT", "Soft"}));
}

void TestWorkingFolder::enumerationSkipsUnpreparedAndDotFolders() {
    prepareWorkingFolder("/x/beta");
    prepareWorkingFolder("/x/Alpha");
    prepareWorkingFolder("/x/.hidden");
    QDir().mkpath(m_env->programFolder() + "/gamma");  // no settings.dat
    QCOMPARE(preparedWorkingFolders(), (QStringList{"/x/Alpha", "/x/beta"}));
}

void TestWorkingFolder::browseTrimsAndCancels() {
    m_env->prompt.folders = QStringList{"/home/u/Soft/", QString::fromUtf8("/a\0b", 4), "/", ""};
    QCOMPARE(browseForFolder(nullptr, "対象となるフォルダを指定してください。"),
             QString("/home/u/Soft"));
    QCOMPARE(browseForFolder(nullptr, "t"), QString("/a"));
    QCOMPARE(browseForFolder(nullptr, "t"), QString("/"));
    QCOMPARE(browseForFolder(nullptr, "t"), QString());
    QCOMPARE(m_env->prompt.chooserTitles.first(),
             QString("対象となるフォルダを指定してください。"));
    QCOMPARE(cutAtNul("abc"), QString("abc"));
}

QTEST_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
