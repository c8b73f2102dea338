#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <functional>

#include "platform/peicon.h"
#include "platform/programicon.h"
#include "support/testenvironment.h"
#include "support/testpe.h"

using namespace qm;
using namespace qm::test;

namespace {

QRgb small(int x, int y) {
    return smallIconColour(x, y);
}

QRgb large(int x, int y) {
    return largeIconColour(x, y);
}

TestPe standardPe() {
    return buildPe(smallIconImage(), largeIconImage());
}

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A DIB with a palette: bitCount 1, 4 or 8, pixel index (x + y) % colours.
QByteArray paletteDib(int side, int bitCount, const QList<QRgb>& palette,
                      const std::function<bool(int, int)>& masked) {
    const int stride = ((side * bitCount + 31) / 32) * 4;
    const int maskStride = ((side + 31) / 32) * 4;
    const int pixelsAt = 40 + int(palette.size()) * 4;
    QByteArray d = dibHeader(side, bitCount, int(palette.size()),
                             pixelsAt - 40 + stride * side + maskStride * side);
    for (int i = 0; i < palette.size(); ++i) {
        d[40 + i * 4] = char(qBlue(palette[i]));
        d[41 + i * 4] = char(qGreen(palette[i]));
        d[42 + i * 4] = char(qRed(palette[i]));
    }
    for (int y = 0; y < side; ++y) {
        const int row = side - 1 - y;
        for (int x = 0; x < side; ++x) {
            const int index = (x + y) % int(palette.size());
            const int bit = x * bitCount;
            d[pixelsAt + row * stride + bit / 8] |= char(index << (8 - bitCount - bit % 8));
            if (masked(x, y)) {
                d[pixelsAt + stride * side + row * maskStride + x / 8] |= char(0x80 >> (x % 8));
            }
        }
    }
    return d;
}

}  // namespace

class TestPeIcon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsBothSizes_data();
    void readsBothSizes();
    void picksClosestAndScales_data();
    void picksClosestAndScales();
    void readsPngIcon();
    void decodesPaletteImages_data();
    void decodesPaletteImages();
    void decodes24BitWithMask();
    void truncatedFileHasNoIcon();
    void corruptedFieldsGiveNoIcon_data();
    void corruptedFieldsGiveNoIcon();
    void randomDamageNeverCrashes();
    void entriesStraddlingTwoSectionsGiveNoIcon_data();
    void entriesStraddlingTwoSectionsGiveNoIcon();
    void notAnExecutable_data();
    void notAnExecutable();
    void programIconUsesResources();
};

void TestPeIcon::readsBothSizes_data() {
    QTest::addColumn<bool>("wide");
    QTest::newRow("32-bit image") << false;
    QTest::newRow("64-bit image") << true;
}

void TestPeIcon::readsBothSizes() {
    QFETCH(bool, wide);
    const TestPe pe = buildPe(smallIconImage(), largeIconImage(), wide);

    const QImage small16 = peIcon(pe.bytes, 16);
    QCOMPARE(small16.size(), QSize(16, 16));
    // No alpha in the image: the AND mask makes the left half transparent.
    QCOMPARE(qAlpha(small16.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(small16.pixel(7, 15)), 0);
    QCOMPARE(small16.pixel(8, 0), small(8, 0));
    QCOMPARE(small16.pixel(15, 3), small(15, 3));
    QCOMPARE(small16.pixel(12, 15), small(12, 15));

    const QImage large32 = peIcon(pe.bytes, 32);
    QCOMPARE(large32.size(), QSize(32, 32));
    // Alpha present: the mask (all set here) is ignored and the alpha channel rules.
    for (const QPoint p : {QPoint(0, 0), QPoint(31, 3), QPoint(5, 4), QPoint(31, 31)}) {
        QCOMPARE(large32.pixel(p), large(p.x(), p.y()));
    }
}

void TestPeIcon::picksClosestAndScales_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QRgb>("cornerColour");
    // The bottom-right pixel tells which image was scaled: the small one is opaque there.
    QTest::newRow("20 from 16") << 20 << small(15, 15);
    QTest::newRow("24 tie takes 32") << 24 << large(31, 31);
    QTest::newRow("48 from 32") << 48 << large(31, 31);
}

void TestPeIcon::picksClosestAndScales() {
    QFETCH(int, size);
    QFETCH(QRgb, cornerColour);
    const QImage image = peIcon(standardPe().bytes, size);
    QCOMPARE(image.size(), QSize(size, size));
    const QRgb corner = image.pixel(size - 1, size - 1);
    QVERIFY2(qAbs(qRed(corner) - qRed(cornerColour)) < 24 &&
                 qAbs(qGreen(corner) - qGreen(cornerColour)) < 24 &&
                 qAbs(qBlue(corner) - qBlue(cornerColour)) < 24,
             qPrintable(QString::number(corner, 16)));
}

void TestPeIcon::readsPngIcon() {
    QImage source(32, 32, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 255));
    source.setPixel(3, 5, qRgba(200, 100, 50, 128));
    const TestPe pe = buildPe(smallIconImage(), pngOf(source));
    const QImage image = peIcon(pe.bytes, 32);
    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.pixel(0, 0), qRgba(10, 20, 30, 255));
    QCOMPARE(image.pixel(3, 5), qRgba(200, 100, 50, 128));

    // A PNG whose header claims a huge image is refused before it is decoded.
    QByteArray huge = pngOf(source);
    qToBigEndian<quint32>(100000, huge.data() + 16);
    QVERIFY(decodeIconImage(huge).isNull());
}

void TestPeIcon::decodesPaletteImages_data() {
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<QList<QRgb>>("palette");
    QTest::newRow("1 bit") << 1 << QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    QTest::newRow("4 bits") << 4
                            << QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                           qRgb(9, 9, 9), qRgb(1, 2, 3)};
    QList<QRgb> many;
    for (int i = 0; i < 256; ++i) {
        many.append(qRgb(i, 255 - i, i / 2));
    }
    QTest::newRow("8 bits") << 8 << many;
}

void TestPeIcon::decodesPaletteImages() {
    QFETCH(int, bitCount);
    QFETCH(QList<QRgb>, palette);
    const auto masked = [](int x, int y) { return x == y; };
    const QImage image = decodeIconImage(paletteDib(16, bitCount, palette, masked));
    QCOMPARE(image.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb expected =
                masked(x, y) ? qRgba(0, 0, 0, 0) : palette[(x + y) % palette.size()];
            QCOMPARE(image.pixel(x, y), expected);
        }
    }
    // A palette larger than the bit count allows is refused.
    QByteArray wrong = paletteDib(16, bitCount, palette, masked);
    putU32(wrong, 32, (1u << bitCount) + 1);
    QVERIFY(decodeIconImage(wrong).isNull());
    // Without its mask such an image is incomplete.
    QByteArray cut = paletteDib(16, bitCount, palette, masked);
    cut.chop(4);
    QVERIFY(decodeIconImage(cut).isNull());
}

void TestPeIcon::decodes24BitWithMask() {
    const int side = 16;
    const int stride = 48;
    QByteArray d = dibHeader(side, 24, 0, stride * side + 4 * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int at = 40 + (side - 1 - y) * stride + x * 3;
            d[at] = char(x);
            d[at + 1] = char(y);
            d[at + 2] = char(x + y);
        }
    }
    d[40 + stride * side + (side - 1) * 4] = char(0x80);  // top-left pixel masked
    const QImage image = decodeIconImage(d);
    QCOMPARE(image.size(), QSize(side, side));
    QCOMPARE(image.pixel(0, 0), qRgba(0, 0, 0, 0));
    QCOMPARE(image.pixel(5, 9), qRgb(14, 9, 5));
}

void TestPeIcon::truncatedFileHasNoIcon() {
    const QByteArray bytes = standardPe().bytes;
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const QByteArray cut = bytes.left(length);
        QVERIFY2(peIcon(cut, 16).isNull(), qPrintable(QString::number(length)));
        QVERIFY2(peIcon(cut, 32).isNull(), qPrintable(QString::number(length)));
    }
    QVERIFY(!peIcon(bytes, 32).isNull());
}

void TestPeIcon::corruptedFieldsGiveNoIcon_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("size");

    const TestPe pe = standardPe();
    const int r = pe.rsrc;
    const auto row = [](const char* name, int offset, int width, quint32 value, int size = 32) {
        QTest::newRow(name) << offset << width << value << size;
    };
    row("no MZ", 0, 2, 0x5A4E);
    row("header offset past the end", 0x3C, 4, 0xFFFFFFF0u);
    row("header offset negative", 0x3C, 4, 0x80000000u);
    row("no PE signature", pe.peOffset, 4, 0x00004550 + 1);
    row("no sections", pe.peOffset + 6, 2, 0);
    row("too many sections", pe.peOffset + 6, 2, 0xFFFF);
    row("optional header too large", pe.peOffset + 20, 2, 0xFFFF);
    row("optional header too small", pe.peOffset + 20, 2, 64);
    row("unknown optional magic", pe.optional, 2, 0x107);
    row("no resource directory slot", pe.countAt, 4, 2);
    row("resource rva zero", pe.countAt + 20, 4, 0);
    row("resource rva outside sections", pe.countAt + 20, 4, 0x90000000u);
    row("resource size zero", pe.countAt + 24, 4, 0);
    row("section data past the end", pe.sectionTable + 20, 4, 0x7FFFFFF0u);
    row("section size beyond file", pe.sectionTable + 16, 4, 0x4000);
    row("section size huge", pe.sectionTable + 16, 4, 0xFFFFFFFFu);
    row("section rva wraps", pe.sectionTable + 12, 4, 0xFFFFFF00u);
    row("root entry count huge", r + 14, 2, 0xFFFF);
    row("root named count huge", r + 12, 2, 0xFFFF);
    row("group directory outside", r + 28, 4, 0x80FFFFF0u);
    row("group directory is a leaf", r + 28, 4, 0x40);
    row("group directory is the root", r + 28, 4, 0x80000000u);
    row("icon directory outside", r + 20, 4, 0x8FFFFFFFu);
    row("group language is a directory", r + 0x88 + 20, 4, 0x80000000u | 0x88);
    row("group data rva outside", r + 0xC0, 4, 0xFFFFFFF0u);
    row("group data rva before section", r + 0xC0, 4, 0x10);
    row("group data size huge", r + 0xC4, 4, 0xFFFFFFFFu);
    row("group data size zero", r + 0xC4, 4, 0);
    row("group data size runs out", r + 0xC4, 4, 0x7000);
    row("group type", pe.group + 2, 2, 2);
    row("group count beyond data", pe.group + 4, 2, 0xFFFF);
    row("group count zero", pe.group + 4, 2, 0);
    row("group names a missing icon", pe.group + 6 + 14 + 12, 2, 7);
    row("icon data size huge", r + 0xB4, 4, 0xFFFFFFFFu);
    row("icon data size small", r + 0xB4, 4, 20);
    row("icon data rva outside", r + 0xB0, 4, 0x7FFFFFFFu);
    row("image header size huge", pe.icon32, 4, 0xFFFFFF);
    row("image header size small", pe.icon32, 4, 12);
    row("image width zero", pe.icon32 + 4, 4, 0);
    row("image width huge", pe.icon32 + 4, 4, 0x7FFFFFFF);
    row("image width negative", pe.icon32 + 4, 4, 0xFFFFFFE0u);
    row("image height negative", pe.icon32 + 8, 4, 0xFFFFFFC0u);
    row("image height huge", pe.icon32 + 8, 4, 0x10000);
    row("image taller than its data", pe.icon32 + 8, 4, 200);
    row("image bit count", pe.icon32 + 14, 2, 7);
    row("image compressed", pe.icon32 + 16, 4, 1);
    row("small image wider than its data", pe.icon16 + 4, 4, 64, 16);
}

void TestPeIcon::corruptedFieldsGiveNoIcon() {
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(quint32, value);
    QFETCH(int, size);
    QByteArray bytes = standardPe().bytes;
    QVERIFY(!peIcon(bytes, size).isNull());
    if (width == 2) {
        putU16(bytes, offset, quint16(value));
    } else {
        putU32(bytes, offset, value);
    }
    QVERIFY(peIcon(bytes, size).isNull());
}

void TestPeIcon::randomDamageNeverCrashes() {
    const QByteArray original = standardPe().bytes;
    QRandomGenerator random(20261207);
    int withIcon = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = original;
        const int flips = 1 + int(random.bounded(6));
        for (int i = 0; i < flips; ++i) {
            // Mostly the headers and directories, where a bad value sends the reader elsewhere.
            const int limit = random.bounded(4) == 0 ? int(bytes.size()) : 0x300;
            bytes[random.bounded(limit)] = char(random.bounded(256));
        }
        if (random.bounded(8) == 0) {
            bytes.truncate(random.bounded(int(bytes.size())));
        }
        for (const int size : {16, 32}) {
            const QImage image = peIcon(bytes, size);
            if (!image.isNull()) {
                QCOMPARE(image.size(), QSize(size, size));
                ++withIcon;
            }
        }
    }
    QVERIFY(withIcon > 0);  // harmless damage (padding, pixels) still gives an icon
}

void TestPeIcon::entriesStraddlingTwoSectionsGiveNoIcon_data() {
    QTest::addColumn<int>("split");  // where the resources are cut into two sections
    QTest::addColumn<bool>("icon");
    QTest::newRow("between two directories") << 0x20 << true;
    QTest::newRow("root directory entries") << 0x18 << false;
    QTest::newRow("type directory entries") << 0x38 << false;
    QTest::newRow("group data entry") << 0xC8 << false;
}

// The resources in two sections that follow each other in memory but not in the file: a
// structure that runs over the end of the first one must not be read on from the file.
void TestPeIcon::entriesStraddlingTwoSectionsGiveNoIcon() {
    QFETCH(int, split);
    QFETCH(bool, icon);
    const TestPe pe = standardPe();
    QByteArray bytes = pe.bytes;
    const int first = pe.sectionTable;
    const int second = first + 40;
    const quint32 va = qFromLittleEndian<quint32>(bytes.constData() + first + 12);
    const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + first + 16);
    // The second part is mapped from a copy at the end of the file; the original bytes stay
    // after the first part, so a reader that reads on past a section's end still finds them.
    const QByteArray tail = bytes.mid(pe.rsrc + split);
    bytes.append(tail);
    putU16(bytes, pe.peOffset + 6, 2);
    bytes.replace(second, 8, QByteArray(".rsrc2\0\0", 8));
    putU32(bytes, first + 8, quint32(split));
    putU32(bytes, first + 16, quint32(split));
    putU32(bytes, second + 8, size - quint32(split));
    putU32(bytes, second + 12, va + quint32(split));
    putU32(bytes, second + 16, size - quint32(split));
    putU32(bytes, second + 20, quint32(bytes.size() - tail.size()));
    QCOMPARE(!peIcon(bytes, 32).isNull(), icon);
}

void TestPeIcon::notAnExecutable_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("MZ is not enough\n");
    QTest::newRow("script") << QByteArray("#!/bin/sh\necho hello\n");
    QTest::newRow("zeros") << QByteArray(4096, '\0');
    QTest::newRow("elf") << QByteArray(
                                "\x7f"
                                "ELF")
                                .append(QByteArray(200, '\1'));
}

void TestPeIcon::notAnExecutable() {
    QFETCH(QByteArray, bytes);
    QVERIFY(peIcon(bytes, 32).isNull());
}

void TestPeIcon::programIconUsesResources() {
    TestEnvironment env;
    const QString exe = env.writeFile(QStringLiteral("Tool/tool.exe"), standardPe().bytes);
    const QPixmap large32 = programIcon(exe, 32);
    QCOMPARE(large32.size(), QSize(32, 32));
    QCOMPARE(large32.toImage().convertToFormat(QImage::Format_ARGB32).pixel(31, 31), large(31, 31));
    QCOMPARE(peIconFromFile(exe, 16).pixel(15, 0), small(15, 0));

    QVERIFY(programIcon(env.root() + "/Tool/missing.exe", 32).isNull());
    QVERIFY(programIcon(env.root() + "/Tool", 32).isNull());
    const QString broken =
        env.writeFile(QStringLiteral("Tool/broken.exe"), standardPe().bytes.left(700));
    QVERIFY(peIconFromFile(broken, 32).isNull());
}

QTEST_MAIN(TestPeIcon)
#include "tst_peicon.moc"
