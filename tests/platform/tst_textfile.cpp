#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include "platform/textfile.h"

using namespace qm;

class TestTextFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void saveReplacesWhole();
    void failedSaveKeepsOldFile();
};

void TestTextFile::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QStringEncoder cp932("CP932");
    QTest::newRow("ascii") << QByteArray("a,b\r\n") << "a,b\r\n";
    QTest::newRow("utf8") << QString("日本語").toUtf8() << "日本語";
    QTest::newRow("utf8 bom dropped") << QByteArray("\xEF\xBB\xBFx") << "x";
    QTest::newRow("cp932") << QByteArray(cp932.encode(QString("表示ソフト"))) << "表示ソフト";
    QTest::newRow("cp932 extensions") << QByteArray(cp932.encode(QString("①～Ⅱ"))) << "①～Ⅱ";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestTextFile::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeText(bytes), text);
}

void TestTextFile::saveReplacesWhole() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/index.qmx";
    QVERIFY(saveFileAtomically(path, "first\r\n"));
    QVERIFY(saveFileAtomically(path, "x\r\n"));
    QString text;
    QVERIFY(readTextFile(path, &text));
    QCOMPARE(text, QString("x\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"index.qmx"});
}

void TestTextFile::failedSaveKeepsOldFile() {
    QTemporaryDir dir;
    QString error;
    QVERIFY(!saveFileAtomically(dir.path() + "/missing/index.qmx", "x", &error));
    QVERIFY(!error.isEmpty());
    QString text;
    QVERIFY(!readTextFile(dir.path() + "/missing/index.qmx", &text, &error));
}

QTEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
