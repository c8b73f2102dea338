// A list file save interrupted by killing the process leaves either the old or the new file,
// never a cut one. The test runs itself as the writer ("--writer PATH") and kills it at random
// moments.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

#include "catalogue/listfile.h"

using namespace qm;

namespace {

QList<CatalogueEntry> generation(int n) {
    QList<CatalogueEntry> entries;
    for (int i = 0; i < 3000; ++i) {
        entries.append({qint16(i % 3), QString("名前 %1-%2").arg(n).arg(i),
                        QString("folder%1").arg(i), "分類", QString("/w/folder%1/prog.exe").arg(i),
                        QString("description, generation %1").arg(n)});
    }
    return entries;
}

// Saves generation 0 and 1 alternately, forever.
int runWriter(const QString& path) {
    const QByteArray ready = "ready\n";
    bool announced = false;
    for (int n = 0;; n = 1 - n) {
        if (!saveListFile(path, generation(n))) {
            return 2;
        }
        if (!announced) {
            fwrite(ready.constData(), 1, ready.size(), stdout);
            fflush(stdout);
            announced = true;
        }
    }
}

}  // namespace

class TestInterruptedSave : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedSaveLeavesOldOrNewFile();
};

void TestInterruptedSave::killedSaveLeavesOldOrNewFile() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/index.qmx";
    const QByteArray old = formatListFile(generation(0));
    const QByteArray updated = formatListFile(generation(1));
    auto* random = QRandomGenerator::global();
    for (int round = 0; round < 25; ++round) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {"--writer", path});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(10000));
        QThread::usleep(random->bounded(2000, 40000));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(
            content == old || content == updated,
            qPrintable(QString("round %1: a cut file of %2 bytes").arg(round).arg(content.size())));
    }
}

int main(int argc, char* argv[]) {
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return runWriter(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestInterruptedSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_interruptedsave.moc"
