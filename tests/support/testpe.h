#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace qm::test {

// Little-endian stores into a byte buffer that is already large enough.
void putU16(QByteArray& bytes, qsizetype at, quint16 value);
void putU32(QByteArray& bytes, qsizetype at, quint32 value);

// The colours of the two icon images of testExecutable(): 16 px (no alpha; the AND mask makes
// the left half transparent) and 32 px (with alpha).
QRgb smallIconColour(int x, int y);
QRgb largeIconColour(int x, int y);

// The 40-byte BITMAPINFOHEADER of an icon image of side x side pixels (its height doubled for
// the AND mask), followed by room for the rest of the image (zeros).
QByteArray dibHeader(int side, int bitCount, int colours, qsizetype rest);

// A 32-bit icon image: BITMAPINFOHEADER, rows bottom-up, then the AND mask. With alpha false
// every alpha byte is 0 and the mask alone gives the transparency.
QByteArray dib32(int side, const std::function<QRgb(int, int)>& pixel, bool alpha,
                 const std::function<bool(int, int)>& masked);
QByteArray smallIconImage();
QByteArray largeIconImage();

// A minimal PE file with one ".rsrc" section: RT_ICON 1 (16 px) and 2 (32 px), RT_GROUP_ICON 1,
// and where its fields lie, so that tests can damage them.
struct TestPe {
    QByteArray bytes;
    int peOffset = 0x40;
    int optional = 0;
    int countAt = 0;
    int sectionTable = 0;
    int rsrc = 0x200;
    int group = 0;
    int icon16 = 0;
    int icon32 = 0;
};
TestPe buildPe(const QByteArray& icon16, const QByteArray& icon32, bool wide = false);

// A version resource with one string table per language ("041104B0", "040904B0", ...), each
// holding its key/value strings; and a PE file whose only resource it is.
QByteArray versionResource(const QList<QPair<QString, QList<QPair<QString, QString>>>>& tables);
QByteArray versionExecutable(const QByteArray& resource);

// The bytes of buildPe(smallIconImage(), largeIconImage()).
QByteArray testExecutable();

}  // namespace qm::test
