#include "platform/peicon.h"

#include "platform/regularfile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

namespace qm {
namespace {

constexpr quint32 kRtIcon = 3;
constexpr quint32 kRtGroupIcon = 14;
constexpr quint32 kRtVersion = 16;
constexpr qint64 kMaxVersionSize = 64 * 1024;
constexpr quint32 kSubdirectoryFlag = 0x80000000u;
constexpr int kMaxSections = 96;
constexpr qint64 kMaxGroupSize = 6 + 14 * 0xFFFF;
constexpr qint64 kMaxIconDataSize = 4 * 1024 * 1024;
constexpr int kMaxIconSide = 1024;

quint16 u16At(const QByteArray& data, qint64 offset) {
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 u32At(const QByteArray& data, qint64 offset) {
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

qint32 i32At(const QByteArray& data, qint64 offset) {
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

// Random access to the bytes of a file; a read succeeds only when every byte asked for is there.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual qint64 size() const = 0;
    virtual std::optional<QByteArray> read(qint64 offset, qint64 length) = 0;

protected:
    bool inside(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(const QByteArray& bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    std::optional<QByteArray> read(qint64 offset, qint64 length) override {
        if (!inside(offset, length)) {
            return std::nullopt;
        }
        return m_bytes.mid(offset, length);
    }

private:
    const QByteArray& m_bytes;
};

// Reads a file piece by piece, within a budget, so that a large installer is not read whole.
class FileSource final : public ByteSource {
public:
    explicit FileSource(QFile& file) : m_file(file), m_size(file.size()) {}
    qint64 size() const override { return m_size; }
    std::optional<QByteArray> read(qint64 offset, qint64 length) override {
        if (!inside(offset, length) || length > m_budget || !m_file.seek(offset)) {
            return std::nullopt;
        }
        m_budget -= length;
        QByteArray data = m_file.read(length);
        if (data.size() != length) {
            return std::nullopt;
        }
        return data;
    }

private:
    QFile& m_file;
    qint64 m_size;
    qint64 m_budget = kMaxPeIconRead;
};

struct Section {
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

struct GroupEntry {
    int width = 0;
    int bitCount = 0;
    quint16 id = 0;
};

// The resource tree of a PE file: type, name, language.
class PeResources {
public:
    explicit PeResources(ByteSource& source) : m_source(source) {}

    bool open();
    // The data of the first resource of a type (first name, first language).
    std::optional<QByteArray> first(quint32 type, qint64 maxSize);
    // The data of the resource of a type with a numeric id (first language).
    std::optional<QByteArray> byId(quint32 type, quint32 id, qint64 maxSize);

private:
    struct DirEntry {
        quint32 name = 0;
        quint32 target = 0;
    };

    std::optional<qint64> fileOffset(quint64 rva, qint64 length) const;
    std::optional<std::vector<DirEntry>> directory(quint32 offset);
    std::optional<quint32> child(quint32 directoryOffset, std::optional<quint32> id, bool leaf);
    std::optional<QByteArray> data(quint32 entryOffset, qint64 maxSize);

    ByteSource& m_source;
    std::vector<Section> m_sections;
    quint32 m_resourceRva = 0;
};

bool PeResources::open() {
    const auto dos = m_source.read(0, 64);
    if (!dos || !dos->startsWith("MZ")) {
        return false;
    }
    const qint64 peOffset = u32At(*dos, 0x3C);
    const auto pe = m_source.read(peOffset, 24);
    if (!pe || !pe->startsWith(QByteArrayLiteral("PE\0\0"))) {
        return false;
    }
    const int sectionCount = u16At(*pe, 6);
    const int optionalSize = u16At(*pe, 20);
    if (sectionCount == 0 || sectionCount > kMaxSections) {
        return false;
    }
    const auto optional = m_source.read(peOffset + 24, optionalSize);
    if (!optional || optionalSize < 2) {
        return false;
    }
    qint64 countAt = 0;
    switch (u16At(*optional, 0)) {
        case 0x10B:  // 32-bit image
            countAt = 92;
            break;
        case 0x20B:  // 64-bit image
            countAt = 108;
            break;
        default:
            return false;
    }
    const qint64 resourceAt = countAt + 4 + 2 * 8;  // the third data directory
    if (optionalSize < resourceAt + 8 || u32At(*optional, countAt) < 3) {
        return false;
    }
    m_resourceRva = u32At(*optional, resourceAt);
    if (m_resourceRva == 0 || u32At(*optional, resourceAt + 4) == 0) {
        return false;
    }
    const auto table = m_source.read(peOffset + 24 + optionalSize, qint64(sectionCount) * 40);
    if (!table) {
        return false;
    }
    for (int i = 0; i < sectionCount; ++i) {
        const qint64 at = qint64(i) * 40;
        m_sections.push_back(
            {u32At(*table, at + 12), u32At(*table, at + 16), u32At(*table, at + 20)});
    }
    // The section that holds the resources must be in the file whole: a cut-off file has no icon.
    for (const Section& section : m_sections) {
        if (m_resourceRva >= section.virtualAddress &&
            m_resourceRva - section.virtualAddress < section.rawSize) {
            return qint64(section.rawOffset) + section.rawSize <= m_source.size();
        }
    }
    return false;
}

std::optional<qint64> PeResources::fileOffset(quint64 rva, qint64 length) const {
    for (const Section& section : m_sections) {
        if (rva >= section.virtualAddress &&
            rva + quint64(length) <= quint64(section.virtualAddress) + section.rawSize) {
            const qint64 offset = qint64(section.rawOffset) + qint64(rva - section.virtualAddress);
            if (offset + length <= m_source.size()) {
                return offset;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::vector<PeResources::DirEntry>> PeResources::directory(quint32 offset) {
    const auto at = fileOffset(quint64(m_resourceRva) + offset, 16);
    if (!at) {
        return std::nullopt;
    }
    const auto header = m_source.read(*at, 16);
    if (!header) {
        return std::nullopt;
    }
    const qint64 count = qint64(u16At(*header, 12)) + u16At(*header, 14);
    const auto entriesAt = fileOffset(quint64(m_resourceRva) + offset + 16, count * 8);
    if (!entriesAt) {
        return std::nullopt;
    }
    const auto bytes = m_source.read(*entriesAt, count * 8);
    if (!bytes) {
        return std::nullopt;
    }
    std::vector<DirEntry> entries;
    entries.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        entries.push_back({u32At(*bytes, i * 8), u32At(*bytes, i * 8 + 4)});
    }
    return entries;
}

// The offset of a directory's child: the first one, or the one with a numeric id. A leaf is a
// data entry, anything else a sub-directory.
std::optional<quint32> PeResources::child(quint32 directoryOffset, std::optional<quint32> id,
                                          bool leaf) {
    const auto entries = directory(directoryOffset);
    if (!entries) {
        return std::nullopt;
    }
    for (const DirEntry& entry : *entries) {
        const bool named = (entry.name & kSubdirectoryFlag) != 0;
        if (id && (named || entry.name != *id)) {
            continue;
        }
        const bool isDirectory = (entry.target & kSubdirectoryFlag) != 0;
        if (isDirectory == leaf) {
            return std::nullopt;
        }
        return entry.target & ~kSubdirectoryFlag;
    }
    return std::nullopt;
}

std::optional<QByteArray> PeResources::data(quint32 entryOffset, qint64 maxSize) {
    const auto at = fileOffset(quint64(m_resourceRva) + entryOffset, 16);
    const auto entry = at ? m_source.read(*at, 16) : std::nullopt;
    if (!entry) {
        return std::nullopt;
    }
    const quint32 rva = u32At(*entry, 0);
    const qint64 size = u32At(*entry, 4);
    if (size == 0 || size > maxSize) {
        return std::nullopt;
    }
    const auto dataAt = fileOffset(rva, size);
    if (!dataAt) {
        return std::nullopt;
    }
    return m_source.read(*dataAt, size);
}

std::optional<QByteArray> PeResources::first(quint32 type, qint64 maxSize) {
    const auto names = child(0, type, false);
    const auto languages = names ? child(*names, std::nullopt, false) : std::nullopt;
    const auto entry = languages ? child(*languages, std::nullopt, true) : std::nullopt;
    return entry ? data(*entry, maxSize) : std::nullopt;
}

std::optional<QByteArray> PeResources::byId(quint32 type, quint32 id, qint64 maxSize) {
    const auto names = child(0, type, false);
    const auto languages = names ? child(*names, id, false) : std::nullopt;
    const auto entry = languages ? child(*languages, std::nullopt, true) : std::nullopt;
    return entry ? data(*entry, maxSize) : std::nullopt;
}

std::vector<GroupEntry> groupEntries(const QByteArray& group) {
    std::vector<GroupEntry> entries;
    if (group.size() < 6 || u16At(group, 0) != 0 || u16At(group, 2) != 1) {
        return entries;
    }
    const qint64 count = u16At(group, 4);
    if (6 + count * 14 > group.size()) {
        return entries;
    }
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = 6 + i * 14;
        const int width = quint8(group[at]) == 0 ? 256 : quint8(group[at]);
        entries.push_back({width, u16At(group, at + 6), u16At(group, at + 12)});
    }
    return entries;
}

// The entry nearest to size: the smallest difference, then a larger image before a smaller one
// (scaling down looks better), then more colours.
std::optional<GroupEntry> closestEntry(const std::vector<GroupEntry>& entries, int size) {
    const auto better = [size](const GroupEntry& a, const GroupEntry& b) {
        const int da = std::abs(a.width - size);
        const int db = std::abs(b.width - size);
        if (da != db) {
            return da < db;
        }
        if ((a.width >= size) != (b.width >= size)) {
            return a.width >= size;
        }
        return a.bitCount > b.bitCount;
    };
    const auto best = std::min_element(entries.begin(), entries.end(), better);
    if (best == entries.end()) {
        return std::nullopt;
    }
    return *best;
}

QImage decodePng(const QByteArray& data) {
    // The header's size is checked first so that a hostile image cannot ask for a huge buffer.
    if (data.size() < 24 || data.mid(12, 4) != "IHDR") {
        return QImage();
    }
    const quint32 width = qFromBigEndian<quint32>(data.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(data.constData() + 20);
    if (width == 0 || height == 0 || width > kMaxIconSide || height > kMaxIconSide) {
        return QImage();
    }
    QImage image;
    if (!image.loadFromData(data, "PNG")) {
        return QImage();
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

QRgb paletteColour(const QByteArray& data, qint64 paletteAt, int count, int index) {
    if (index >= count) {
        return qRgb(0, 0, 0);
    }
    const qint64 at = paletteAt + qint64(index) * 4;
    return qRgb(quint8(data[at + 2]), quint8(data[at + 1]), quint8(data[at]));
}

QImage decodeDib(const QByteArray& data) {
    if (data.size() < 40) {
        return QImage();
    }
    const qint64 headerSize = u32At(data, 0);
    const qint32 width = i32At(data, 4);
    const qint32 doubleHeight = i32At(data, 8);
    const int bitCount = u16At(data, 14);
    const quint32 compression = u32At(data, 16);
    const quint32 coloursUsed = u32At(data, 32);
    if (headerSize < 40 || headerSize > data.size() || width <= 0 || width > kMaxIconSide ||
        doubleHeight < 2 || doubleHeight > 2 * kMaxIconSide) {
        return QImage();
    }
    const int height = doubleHeight / 2;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        return QImage();
    }
    if (compression != 0) {  // icons are stored uncompressed
        return QImage();
    }
    int paletteCount = 0;
    if (bitCount <= 8) {
        if (coloursUsed > (1u << bitCount)) {
            return QImage();
        }
        paletteCount = coloursUsed != 0 ? int(coloursUsed) : 1 << bitCount;
    }
    const qint64 paletteAt = headerSize;
    const qint64 pixelsAt = paletteAt + qint64(paletteCount) * 4;
    const qint64 stride = ((qint64(width) * bitCount + 31) / 32) * 4;
    const qint64 maskAt = pixelsAt + stride * height;
    const qint64 maskStride = ((qint64(width) + 31) / 32) * 4;
    if (maskAt > data.size()) {
        return QImage();
    }
    // A 32-bit image may come without a mask; the others need it for their transparency.
    const bool hasMask = maskAt + maskStride * height <= data.size();
    if (!hasMask && bitCount != 32) {
        return QImage();
    }

    bool hasAlpha = false;
    if (bitCount == 32) {
        for (qint64 i = pixelsAt + 3; i < maskAt; i += 4) {
            if (data[i] != 0) {
                hasAlpha = true;
                break;
            }
        }
    }
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull()) {
        return QImage();
    }
    for (int y = 0; y < height; ++y) {
        const qint64 row = pixelsAt + qint64(height - 1 - y) * stride;  // stored bottom-up
        const qint64 maskRow = maskAt + qint64(height - 1 - y) * maskStride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb colour = 0;
            switch (bitCount) {
                case 32: {
                    const qint64 at = row + qint64(x) * 4;
                    colour = qRgba(quint8(data[at + 2]), quint8(data[at + 1]), quint8(data[at]),
                                   hasAlpha ? quint8(data[at + 3]) : 255);
                    break;
                }
                case 24: {
                    const qint64 at = row + qint64(x) * 3;
                    colour = qRgb(quint8(data[at + 2]), quint8(data[at + 1]), quint8(data[at]));
                    break;
                }
                default: {
                    const int perByte = 8 / bitCount;
                    const quint8 byte = quint8(data[row + x / perByte]);
                    const int shift = 8 - bitCount * (x % perByte + 1);
                    const int index = (byte >> shift) & ((1 << bitCount) - 1);
                    colour = paletteColour(data, paletteAt, paletteCount, index);
                    break;
                }
            }
            if (hasMask && !hasAlpha) {
                const quint8 bits = quint8(data[maskRow + x / 8]);
                if (bits & (0x80 >> (x % 8))) {
                    colour = qRgba(0, 0, 0, 0);
                }
            }
            line[x] = colour;
        }
    }
    return image;
}

QImage readIcon(ByteSource& source, int size) {
    if (size <= 0) {
        return QImage();
    }
    PeResources resources(source);
    if (!resources.open()) {
        return QImage();
    }
    const auto group = resources.first(kRtGroupIcon, kMaxGroupSize);
    if (!group) {
        return QImage();
    }
    const auto entry = closestEntry(groupEntries(*group), size);
    if (!entry) {
        return QImage();
    }
    const auto data = resources.byId(kRtIcon, entry->id, kMaxIconDataSize);
    if (!data) {
        return QImage();
    }
    const QImage image = decodeIconImage(*data);
    if (image.isNull() || image.size() == QSize(size, size)) {
        return image;
    }
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::vector<QImage> readIcons(ByteSource& source) {
    std::vector<QImage> images;
    PeResources resources(source);
    const auto group =
        resources.open() ? resources.first(kRtGroupIcon, kMaxGroupSize) : std::nullopt;
    if (!group) {
        return images;
    }
    std::vector<int> sides;
    for (const GroupEntry& entry : groupEntries(*group)) {
        if (std::find(sides.begin(), sides.end(), entry.width) != sides.end()) {
            continue;
        }
        sides.push_back(entry.width);
        const auto best = closestEntry(groupEntries(*group), entry.width);
        const auto data = best ? resources.byId(kRtIcon, best->id, kMaxIconDataSize) : std::nullopt;
        const QImage image = data ? decodeIconImage(*data) : QImage();
        if (!image.isNull()) {
            images.push_back(image);
        }
    }
    return images;
}

// One block of a version resource: wLength, wValueLength, wType, a UTF-16 key, the value and
// the children, each aligned to four bytes.
struct VersionBlock {
    QString key;
    QByteArray value;
    bool text = false;
    qint64 childrenAt = 0;
    qint64 end = 0;
};

std::optional<VersionBlock> versionBlock(const QByteArray& data, qint64 at, qint64 limit) {
    if (at < 0 || at + 6 > limit) {
        return std::nullopt;
    }
    VersionBlock block;
    const qint64 length = u16At(data, at);
    const qint64 valueLength = u16At(data, at + 2);
    block.text = u16At(data, at + 4) == 1;
    block.end = at + length;
    if (length < 6 || block.end > limit) {
        return std::nullopt;
    }
    qint64 pos = at + 6;
    while (pos + 2 <= block.end && u16At(data, pos) != 0) {
        block.key += QChar(u16At(data, pos));
        pos += 2;
    }
    pos = (pos + 2 + 3) & ~qint64(3);
    const qint64 valueBytes = block.text ? valueLength * 2 : valueLength;
    if (pos + valueBytes > block.end) {
        return std::nullopt;
    }
    block.value = data.mid(pos, valueBytes);
    block.childrenAt = (pos + valueBytes + 3) & ~qint64(3);
    return block;
}

std::vector<VersionBlock> versionChildren(const QByteArray& data, const VersionBlock& parent) {
    std::vector<VersionBlock> children;
    qint64 at = parent.childrenAt;
    while (at < parent.end) {
        const auto child = versionBlock(data, at, parent.end);
        if (!child) {
            break;
        }
        children.push_back(*child);
        at = (child->end + 3) & ~qint64(3);
    }
    return children;
}

QString utf16Text(const QByteArray& value) {
    QString text;
    for (qint64 i = 0; i + 1 < value.size(); i += 2) {
        const QChar c(u16At(value, i));
        if (c.isNull()) {
            break;
        }
        text += c;
    }
    return text.trimmed();
}

// The preference of a string table ("041104B0": language and code page) for a language.
int tableRank(const QString& key, const QString& language) {
    const QString id = key.left(4).toUpper();
    const bool japanese = language == QLatin1String("ja");
    if (id == QLatin1String("0411")) {
        return japanese ? 0 : 3;
    }
    if (id == QLatin1String("0409") || id == QLatin1String("0809")) {
        return japanese ? 2 : 0;
    }
    if (id == QLatin1String("0000") || id == QLatin1String("007F")) {
        return 1;
    }
    return 4;
}

PeVersionText readVersion(ByteSource& source, const QString& language) {
    PeVersionText result;
    PeResources resources(source);
    const auto data =
        resources.open() ? resources.first(kRtVersion, kMaxVersionSize) : std::nullopt;
    const auto root = data ? versionBlock(*data, 0, data->size()) : std::nullopt;
    if (!root) {
        return result;
    }
    std::optional<VersionBlock> best;
    int bestRank = 100;
    for (const VersionBlock& info : versionChildren(*data, *root)) {
        if (info.key != QLatin1String("StringFileInfo")) {
            continue;
        }
        for (const VersionBlock& table : versionChildren(*data, info)) {
            const int rank = tableRank(table.key, language);
            if (rank < bestRank) {
                best = table;
                bestRank = rank;
            }
        }
    }
    if (!best) {
        return result;
    }
    for (const VersionBlock& entry : versionChildren(*data, *best)) {
        if (entry.key == QLatin1String("FileDescription")) {
            result.description = utf16Text(entry.value);
        } else if (entry.key == QLatin1String("ProductName")) {
            result.product = utf16Text(entry.value);
        }
    }
    return result;
}

}  // namespace

QList<QImage> peIconImages(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path)) {
        return {};
    }
    FileSource source(file);
    const std::vector<QImage> images = readIcons(source);
    return QList<QImage>(images.begin(), images.end());
}

PeVersionText peVersionText(const QByteArray& bytes, const QString& language) {
    MemorySource source(bytes);
    return readVersion(source, language);
}

PeVersionText peVersionTextFromFile(const QString& path, const QString& language) {
    QFile file;
    if (!openRegularFile(file, path)) {
        return {};
    }
    FileSource source(file);
    return readVersion(source, language);
}

QImage decodeIconImage(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n")) {
        return decodePng(data);
    }
    return decodeDib(data);
}

QImage peIcon(const QByteArray& bytes, int size) {
    MemorySource source(bytes);
    return readIcon(source, size);
}

QImage peIconFromFile(const QString& path, int size) {
    QFile file;
    if (!openRegularFile(file, path)) {
        return QImage();
    }
    FileSource source(file);
    return readIcon(source, size);
}

}  // namespace qm
