#include "support/testpe.h"

#include <QList>
#include <QPair>
#include <QtEndian>

namespace qm::test {

void putU16(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian<quint16>(value, bytes.data() + at);
}

void putU32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

QRgb smallIconColour(int x, int y) {
    return qRgba(x * 15, y * 15, 40, 255);
}

QRgb largeIconColour(int x, int y) {
    return qRgba(x * 7, 200, y * 7, y < 4 ? 0x80 : 0xFF);
}

QByteArray dibHeader(int side, int bitCount, int colours, qsizetype rest) {
    QByteArray d(40 + rest, '\0');
    putU32(d, 0, 40);
    putU32(d, 4, side);
    putU32(d, 8, side * 2);
    putU16(d, 12, 1);
    putU16(d, 14, quint16(bitCount));
    putU32(d, 32, quint32(colours));
    return d;
}

QByteArray dib32(int side, const std::function<QRgb(int, int)>& pixel, bool alpha,
                 const std::function<bool(int, int)>& masked) {
    const int maskStride = ((side + 31) / 32) * 4;
    QByteArray d = dibHeader(side, 32, 0, side * side * 4 + maskStride * side);
    for (int y = 0; y < side; ++y) {
        const int row = side - 1 - y;
        for (int x = 0; x < side; ++x) {
            const QRgb c = pixel(x, y);
            const qsizetype at = 40 + (row * side + x) * 4;
            d[at] = char(qBlue(c));
            d[at + 1] = char(qGreen(c));
            d[at + 2] = char(qRed(c));
            d[at + 3] = char(alpha ? qAlpha(c) : 0);
            if (masked(x, y)) {
                d[40 + side * side * 4 + row * maskStride + x / 8] |= char(0x80 >> (x % 8));
            }
        }
    }
    return d;
}

QByteArray smallIconImage() {
    return dib32(16, smallIconColour, false, [](int x, int) { return x < 8; });
}

QByteArray largeIconImage() {
    return dib32(32, largeIconColour, true, [](int, int) { return true; });
}

namespace {

// Puts a resource section (its data at virtual address 0x1000) into a PE file's headers.
void wrapResources(TestPe& pe, const QByteArray& r, bool wide);

// Text as zero-ended UTF-16.
QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), (text.size() + 1) * 2);
}

// One block of a version resource (it starts at a multiple of four bytes).
QByteArray versionBlock(const QString& key, const QByteArray& value, bool text, int valueLength,
                        const QByteArray& children) {
    QByteArray b = QByteArray(6, '\0') + utf16(key);
    b.append(QByteArray(((b.size() + 3) & ~3) - b.size(), '\0')).append(value);
    b.append(QByteArray(((b.size() + 3) & ~3) - b.size(), '\0')).append(children);
    putU16(b, 0, quint16(b.size()));
    putU16(b, 2, quint16(valueLength));
    putU16(b, 4, text ? 1 : 0);
    return b;
}

}  // namespace

QByteArray versionResource(const QList<QPair<QString, QList<QPair<QString, QString>>>>& tables) {
    QByteArray stringTables;
    for (const auto& [language, strings] : tables) {
        QByteArray entries;
        for (const auto& [key, value] : strings) {
            entries.append(versionBlock(key, utf16(value), true, int(value.size() + 1), {}));
        }
        stringTables.append(versionBlock(language, {}, true, 0, entries));
    }
    const QByteArray info =
        versionBlock(QStringLiteral("StringFileInfo"), {}, true, 0, stringTables);
    QByteArray fixed(52, '\0');
    putU32(fixed, 0, 0xFEEF04BD);
    return versionBlock(QStringLiteral("VS_VERSION_INFO"), fixed, false, 52, info);
}

QByteArray versionExecutable(const QByteArray& resource) {
    // The tree: RT_VERSION (16) / id 1 / one language / the data.
    QByteArray r(0x60, '\0');
    const quint32 sub = 0x80000000u;
    const auto dir = [&r](int at, quint32 name, quint32 target) {
        putU16(r, at + 14, 1);
        putU32(r, at + 16, name);
        putU32(r, at + 20, target);
    };
    dir(0x00, 16, sub | 0x18);
    dir(0x18, 1, sub | 0x30);
    dir(0x30, 0x411, 0x48);
    putU32(r, 0x48, 0x1000 + 0x60);
    putU32(r, 0x4C, quint32(resource.size()));
    r.append(resource);
    TestPe pe;
    wrapResources(pe, r, false);
    return pe.bytes;
}

TestPe buildPe(const QByteArray& icon16, const QByteArray& icon32, bool wide) {
    TestPe pe;
    const quint32 va = 0x1000;
    QByteArray r(0xF8, '\0');
    const auto dir = [&r](int at, QList<QPair<quint32, quint32>> entries) {
        putU16(r, at + 14, quint16(entries.size()));
        for (int i = 0; i < entries.size(); ++i) {
            putU32(r, at + 16 + i * 8, entries[i].first);
            putU32(r, at + 20 + i * 8, entries[i].second);
        }
    };
    const quint32 sub = 0x80000000u;
    dir(0x00, {{3, sub | 0x20}, {14, sub | 0x40}});
    dir(0x20, {{1, sub | 0x58}, {2, sub | 0x70}});
    dir(0x40, {{1, sub | 0x88}});
    dir(0x58, {{0x409, 0xA0}});
    dir(0x70, {{0x409, 0xB0}});
    dir(0x88, {{0x409, 0xC0}});
    const int groupAt = 0xD0;
    const int icon16At = 0xF8;
    const int icon32At = icon16At + int(icon16.size());
    r.append(icon16);
    r.append(icon32);
    putU32(r, 0xA0, va + icon16At);
    putU32(r, 0xA4, quint32(icon16.size()));
    putU32(r, 0xB0, va + icon32At);
    putU32(r, 0xB4, quint32(icon32.size()));
    putU32(r, 0xC0, va + groupAt);
    putU32(r, 0xC4, 6 + 2 * 14);
    putU16(r, groupAt + 2, 1);
    putU16(r, groupAt + 4, 2);
    const int sides[2] = {16, 32};
    const QByteArray* datas[2] = {&icon16, &icon32};
    for (int i = 0; i < 2; ++i) {
        const int e = groupAt + 6 + i * 14;
        r[e] = char(sides[i]);
        r[e + 1] = char(sides[i]);
        putU16(r, e + 4, 1);
        putU16(r, e + 6, 32);
        putU32(r, e + 8, quint32(datas[i]->size()));
        putU16(r, e + 12, quint16(i + 1));
    }

    wrapResources(pe, r, wide);
    pe.group = pe.rsrc + groupAt;
    pe.icon16 = pe.rsrc + icon16At;
    pe.icon32 = pe.rsrc + icon32At;
    return pe;
}

namespace {

void wrapResources(TestPe& pe, const QByteArray& r, bool wide) {
    const int optionalSize = wide ? 240 : 224;
    pe.optional = pe.peOffset + 24;
    pe.countAt = pe.optional + (wide ? 108 : 92);
    pe.sectionTable = pe.optional + optionalSize;
    const quint32 va = 0x1000;
    QByteArray b(pe.rsrc, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    putU32(b, 0x3C, pe.peOffset);
    b.replace(pe.peOffset, 4, QByteArrayLiteral("PE\0\0"));
    putU16(b, pe.peOffset + 4, wide ? 0x8664 : 0x14C);
    putU16(b, pe.peOffset + 6, 1);
    putU16(b, pe.peOffset + 20, quint16(optionalSize));
    putU16(b, pe.optional, wide ? 0x20B : 0x10B);
    putU32(b, pe.countAt, 16);
    putU32(b, pe.countAt + 4 + 16, va);
    putU32(b, pe.countAt + 4 + 20, quint32(r.size()));
    b.replace(pe.sectionTable, 8, QByteArray(".rsrc\0\0\0", 8));
    putU32(b, pe.sectionTable + 8, quint32(r.size()));
    putU32(b, pe.sectionTable + 12, va);
    putU32(b, pe.sectionTable + 16, quint32(r.size()));
    putU32(b, pe.sectionTable + 20, quint32(pe.rsrc));
    b.append(r);
    pe.bytes = b;
}

}  // namespace

QByteArray testExecutable() {
    return buildPe(smallIconImage(), largeIconImage()).bytes;
}

}  // namespace qm::test
