#include "shortcuts/shelllink.h"

#include <QStringEncoder>

#include "shortcuts/shortcutwriter.h"

namespace qm {
namespace {

// Link flags.
constexpr quint32 kHasLinkInfo = 0x2;
constexpr quint32 kHasWorkingDir = 0x10;
constexpr quint32 kHasArguments = 0x20;
constexpr quint32 kIsUnicode = 0x80;

constexpr quint32 kHeaderSize = 0x4C;
constexpr quint32 kLinkInfoHeaderSize = 0x24;  // with the Unicode offsets
constexpr quint32 kVolumeIdAndLocalBasePath = 0x1;
constexpr quint32 kVolumeIdSize = 0x11;  // the fixed fields and an empty label
constexpr quint32 kDriveUnknown = 0;
constexpr quint32 kDriveFixed = 3;
constexpr quint32 kShowNormal = 1;

class Writer {
public:
    void u16(quint32 value) {
        m_bytes.append(static_cast<char>(value & 0xFF));
        m_bytes.append(static_cast<char>((value >> 8) & 0xFF));
    }
    void u32(quint32 value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void zeros(int count) { m_bytes.append(count, '\0'); }
    void bytes(const QByteArray& data) { m_bytes.append(data); }
    void utf16(const QString& text) {
        for (const QChar c : text) {
            u16(c.unicode());
        }
    }
    const QByteArray& result() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QString windowsPath(QString path) {
    return path.replace(u'/', u'\\');
}

// The path in the Japanese ANSI code page; characters it lacks become "?".
QByteArray ansiPath(const QString& path) {
    QStringEncoder encoder("CP932");
    if (!encoder.isValid()) {
        encoder = QStringEncoder(QStringEncoder::Latin1);
    }
    QByteArray whole = encoder.encode(path);
    if (!encoder.hasError() && !whole.contains('\0')) {
        return whole;
    }
    QByteArray result;
    for (qsizetype i = 0; i < path.size(); ++i) {
        qsizetype length = path[i].isHighSurrogate() && i + 1 < path.size() ? 2 : 1;
        QStringEncoder single("CP932");
        const QByteArray bytes = single.encode(QStringView(path).mid(i, length));
        result +=
            single.hasError() || bytes.isEmpty() || bytes.contains('\0') ? QByteArray("?") : bytes;
        i += length - 1;
    }
    return result;
}

void stringData(Writer& out, const QString& text, const char* what) {
    if (text.size() > 0xFFFF) {
        throw ShortcutError(std::string(what) + " too long for a shell link");
    }
    out.u16(static_cast<quint32>(text.size()));
    out.utf16(text);
}

}  // namespace

QByteArray shellLink(const QString& target, const QString& arguments,
                     const QString& workingDirectory) {
    const QString basePath = windowsPath(target);
    const QString workDir = windowsPath(workingDirectory);

    quint32 flags = kHasLinkInfo | kIsUnicode;
    if (!workDir.isEmpty()) {
        flags |= kHasWorkingDir;
    }
    if (!arguments.isEmpty()) {
        flags |= kHasArguments;
    }

    Writer out;
    // Header.
    out.u32(kHeaderSize);
    out.bytes(QByteArray::fromHex("0114020000000000c000000000000046"));
    out.u32(flags);
    out.u32(0);     // file attributes
    out.zeros(24);  // creation, access and write times
    out.u32(0);     // file size
    out.u32(0);     // icon index
    out.u32(kShowNormal);
    out.u16(0);     // hot key
    out.zeros(10);  // reserved

    // LinkInfo: volume id, local base path (ANSI), empty common path suffix, then both again in
    // Unicode.
    const QByteArray ansi = ansiPath(basePath) + '\0';
    const bool onDrive = basePath.size() >= 3 && basePath[1] == u':' && basePath[2] == u'\\';
    const quint32 volumeOffset = kLinkInfoHeaderSize;
    const quint32 basePathOffset = volumeOffset + kVolumeIdSize;
    const quint32 suffixOffset = basePathOffset + static_cast<quint32>(ansi.size());
    const quint32 basePathUnicodeOffset = suffixOffset + 1;
    const quint32 suffixUnicodeOffset =
        basePathUnicodeOffset + 2 * static_cast<quint32>(basePath.size() + 1);
    const quint32 linkInfoSize = suffixUnicodeOffset + 2;
    out.u32(linkInfoSize);
    out.u32(kLinkInfoHeaderSize);
    out.u32(kVolumeIdAndLocalBasePath);
    out.u32(volumeOffset);
    out.u32(basePathOffset);
    out.u32(0);  // no network location
    out.u32(suffixOffset);
    out.u32(basePathUnicodeOffset);
    out.u32(suffixUnicodeOffset);
    out.u32(kVolumeIdSize);
    out.u32(onDrive ? kDriveFixed : kDriveUnknown);
    out.u32(0);     // serial number
    out.u32(0x10);  // label offset
    out.zeros(1);   // empty label
    out.bytes(ansi);
    out.zeros(1);  // empty common path suffix
    out.utf16(basePath);
    out.u16(0);
    out.u16(0);  // empty Unicode common path suffix

    if (flags & kHasWorkingDir) {
        stringData(out, workDir, "working directory");
    }
    if (flags & kHasArguments) {
        stringData(out, arguments, "arguments");
    }
    out.u32(0);  // terminal block
    return out.result();
}

}  // namespace qm
