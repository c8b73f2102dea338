// Inputs that the fuzz targets found, kept as regression tests: each reader is fed every file of
// fuzz/regressions/<target>/ the way its fuzz target feeds it, and must neither crash nor split
// records. The seed corpora are checked to exercise what they are meant to.

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include "app/fieldreader.h"
#include "catalogue/listfile.h"
#include "installer/archivecommand.h"
#include "platform/appimage.h"
#include "platform/peicon.h"
#include "platform/textfile.h"

using namespace qm;

namespace {

const QString kFuzzFolder = QStringLiteral(QM_SOURCE_DIR "/fuzz");

QList<QByteArray> inputsOf(const QString& target) {
    QList<QByteArray> inputs;
    for (const QString& sub : {QStringLiteral("regressions"), QStringLiteral("corpus")}) {
        QDir dir(kFuzzFolder + u'/' + sub + u'/' + target);
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files)) {
            QFile file(info.filePath());
            if (file.open(QIODevice::ReadOnly)) {
                inputs.append(file.readAll());
            }
        }
    }
    return inputs;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestFuzzRegressions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void peSeedHasAnIcon();
    void iconReaderInputs();
    void appImageInputs();
    void listFileInputs();
    void settingsInputs();
    void commandLineInputs();
};

void TestFuzzRegressions::peSeedHasAnIcon() {
    const QByteArray seed = readAll(kFuzzFolder + "/corpus/fuzz_peicon/tiny.exe");
    QVERIFY(!seed.isEmpty());
    const QImage icon = peIcon(seed, 16);
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(16, 16));
}

void TestFuzzRegressions::iconReaderInputs() {
    for (const QByteArray& input : inputsOf("fuzz_peicon")) {
        for (int side : {16, 32}) {
            const QImage icon = peIcon(input, side);
            QVERIFY(icon.isNull() || icon.size() == QSize(side, side));
        }
        (void)decodeIconImage(input);
    }
}

// Whole AppImages (runtime header and image) that the reader once choked on.
void TestFuzzRegressions::appImageInputs() {
    for (QByteArray input : inputsOf("fuzz_appimage")) {
        QBuffer buffer(&input);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(readAppImage(buffer).icon.size() <= kMaxAppImageIcon);
    }
}

void TestFuzzRegressions::listFileInputs() {
    const QList<QByteArray> inputs = inputsOf("fuzz_listfile");
    QVERIFY(!inputs.isEmpty());
    for (const QByteArray& input : inputs) {
        QList<CatalogueEntry> entries;
        ListFileReader reader(decodeText(input));
        while (auto entry = reader.next()) {
            entries.append(*entry);
        }
        ListFileReader again(decodeText(formatListFile(entries)));
        qsizetype count = 0;
        while (auto entry = again.next()) {
            ++count;
        }
        QCOMPARE(count, entries.size());
    }
}

void TestFuzzRegressions::settingsInputs() {
    for (const QByteArray& input : inputsOf("fuzz_settings")) {
        const QString workFolder = firstField(decodeText(input));
        FieldReader reader(encodeField(workFolder) + "\r\n");
        QVERIFY(reader.next().has_value());
        QVERIFY(reader.atEnd());
    }
}

void TestFuzzRegressions::commandLineInputs() {
    const QList<QByteArray> inputs = inputsOf("fuzz_cmdline");
    QVERIFY(!inputs.isEmpty());
    for (const QByteArray& input : inputs) {
        // Lines of many quoted words once took the splitter exponential time.
        QElapsedTimer timer;
        timer.start();
        (void)splitCommandLine(QString::fromUtf8(input));
        QVERIFY2(timer.elapsed() < 1000, input.constData());
    }
    const auto words = splitCommandLine(QString::fromUtf8(inputsOf("fuzz_cmdline").first()));
    QVERIFY(words.has_value());
}

QTEST_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
