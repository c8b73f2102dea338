#include <QTest>

#include "app/folderbrowse.h"
#include "support/testenvironment.h"

using namespace qm;
using qm::test::TestEnvironment;

class FolderBrowseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void returnsChosenFolder_data();
    void returnsChosenFolder();
    void cutAtNul_data();
    void cutAtNul();
};

void FolderBrowseTest::returnsChosenFolder_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder") << "/home/user/soft"
                            << "/home/user/soft";
    QTest::newRow("trailing separators") << "/home/user/soft//"
                                         << "/home/user/soft";
    QTest::newRow("root stays") << "/"
                                << "/";
    QTest::newRow("cancelled") << ""
                               << "";
    QTest::newRow("cut at NUL") << QStringLiteral("/data/アプリ") + QChar(u'\0') + "garbage"
                                << QStringLiteral("/data/アプリ");
    QTest::newRow("spaces and commas") << "/a b/c,d/"
                                       << "/a b/c,d";
}

void FolderBrowseTest::returnsChosenFolder() {
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    TestEnvironment env;
    env.prompt.folders = {chosen};
    const QString title = QStringLiteral("対象となるフォルダを指定してください。");
    QCOMPARE(browseForFolder(nullptr, title), expected);
    QCOMPARE(env.prompt.chooserTitles, QStringList{title});
    QVERIFY(env.prompt.messages.isEmpty());
    // With nothing queued the chooser is cancelled.
    QCOMPARE(browseForFolder(nullptr, title), QString());
}

void FolderBrowseTest::cutAtNul_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QChar nul(u'\0');
    QTest::newRow("no NUL") << "abc"
                            << "abc";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("NUL first") << QString(nul) + "abc"
                               << "";
    QTest::newRow("buffer of NULs") << "C:" + QString(258, nul) << "C:";
    QTest::newRow("first of two") << "a" + QString(nul) + "b" + QString(nul) << "a";
}

void FolderBrowseTest::cutAtNul() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(qm::cutAtNul(text), expected);
}

QTEST_MAIN(FolderBrowseTest)
#include "tst_folderbrowse.moc"
