#pragma once

// Builds small LZH archives byte by byte for the tests: stored (-lh0-) entries with any name
// bytes, in header level 0, 1 or 2, optionally with a Unix mode (for links, "name|target").

#include <QByteArray>
#include <QList>

namespace qm::test {

struct LzhEntry {
    QByteArray name;  // raw bytes as stored; "/" separates folders
    QByteArray data;
    quint16 unixMode = 0;     // 0: none stored
    quint32 claimedSize = 0;  // the original size the header states; 0: the data's own
};

class LzhBuilder {
public:
    explicit LzhBuilder(int level) : m_level(level) {}

    LzhBuilder& add(const QByteArray& name, const QByteArray& data, quint16 unixMode = 0,
                    quint32 claimedSize = 0) {
        m_entries.append({name, data, unixMode, claimedSize});
        return *this;
    }

    QByteArray build() const {
        QByteArray out;
        for (const LzhEntry& entry : m_entries) {
            out += m_level == 0 ? level0(entry) : m_level == 1 ? level1(entry) : level2(entry);
            out += entry.data;
        }
        out += '\0';
        return out;
    }

    static quint16 crc16(const QByteArray& bytes, quint16 crc = 0) {
        for (const char c : bytes) {
            crc ^= static_cast<quint8>(c);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : crc >> 1;
            }
        }
        return crc;
    }

private:
    static void put16(QByteArray& out, quint32 value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    }
    static void put32(QByteArray& out, quint32 value) {
        put16(out, value & 0xFFFF);
        put16(out, value >> 16);
    }
    static QByteArray dosName(const QByteArray& name) {
        QByteArray converted = name;
        converted.replace('/', '\\');
        return converted;
    }
    static quint8 checksum(const QByteArray& bytes) {
        quint8 sum = 0;
        for (const char c : bytes) {
            sum = static_cast<quint8>(sum + static_cast<quint8>(c));
        }
        return sum;
    }
    // Method, sizes and the DOS time of 2020-05-01 12:00.
    static QByteArray common(const LzhEntry& entry, quint32 packed) {
        QByteArray out("-lh0-");
        put32(out, packed);
        put32(out, entry.claimedSize ? entry.claimedSize : static_cast<quint32>(entry.data.size()));
        put16(out, 0x6000);
        put16(out, 0x50A1);
        return out;
    }

    static QByteArray level0(const LzhEntry& entry) {
        const QByteArray name = dosName(entry.name);
        QByteArray body = common(entry, static_cast<quint32>(entry.data.size()));
        body += char(0x20);
        body += char(0);
        body += static_cast<char>(name.size());
        body += name;
        put16(body, crc16(entry.data));
        QByteArray out;
        out += static_cast<char>(body.size());
        out += static_cast<char>(checksum(body));
        return out + body;
    }

    static QByteArray modeExtension(const LzhEntry& entry) {
        QByteArray ext;
        if (entry.unixMode != 0) {
            ext += char(0x50);
            put16(ext, entry.unixMode);
        }
        return ext;
    }

    // Extension headers for levels 1 and 2: the folder (with 0xFF between parts), the name
    // (level 2 only) and the mode. A link's target, after "|", is part of the name.
    static QList<QByteArray> extensionsOf(const LzhEntry& entry, bool withName,
                                          QByteArray* baseName) {
        QList<QByteArray> extensions;
        QByteArray name = entry.name;
        const qsizetype bar = name.indexOf('|');
        const qsizetype slash = name.lastIndexOf('/', bar < 0 ? -1 : bar);
        if (slash >= 0) {
            QByteArray folder(1, char(0x02));
            folder += name.left(slash + 1).replace('/', char(0xFF));
            extensions.append(folder);
            name = name.mid(slash + 1);
        }
        if (withName) {
            extensions.append(QByteArray(1, char(0x01)) + name);
        }
        *baseName = name;
        const QByteArray mode = modeExtension(entry);
        if (!mode.isEmpty()) {
            extensions.append(mode);
        }
        return extensions;
    }

    // Each extension followed by the size of the next one (its own two size bytes included).
    static QByteArray chain(const QList<QByteArray>& extensions) {
        QByteArray tail;
        for (qsizetype i = 0; i < extensions.size(); ++i) {
            tail += extensions[i];
            put16(tail, i + 1 < extensions.size() ? extensions[i + 1].size() + 2 : 0);
        }
        return tail;
    }

    static QByteArray level1(const LzhEntry& entry) {
        QByteArray name;
        const QList<QByteArray> extensions = extensionsOf(entry, false, &name);
        const QByteArray tail = chain(extensions);
        QByteArray body = common(entry, static_cast<quint32>(entry.data.size() + tail.size()));
        body += char(0x20);
        body += char(1);
        body += static_cast<char>(name.size());
        body += name;
        put16(body, crc16(entry.data));
        body += 'U';
        put16(body, extensions.isEmpty() ? 0 : static_cast<quint32>(extensions[0].size() + 2));
        QByteArray out;
        out += static_cast<char>(body.size());
        out += static_cast<char>(checksum(body));
        return out + body + tail;
    }

    static QByteArray level2(const LzhEntry& entry) {
        QByteArray name;
        QList<QByteArray> extensions = extensionsOf(entry, true, &name);
        QByteArray crcExt(1, char(0x00));
        put16(crcExt, 0);  // filled in below
        extensions.prepend(crcExt);
        QByteArray out;
        put16(out, 0);  // total size, below
        out += common(entry, static_cast<quint32>(entry.data.size()));
        // Level 2 keeps a Unix time instead of the DOS one.
        out.replace(15, 4, QByteArray("\x40\x0d\xac\x5e", 4));
        out += char(0x20);
        out += char(2);
        put16(out, crc16(entry.data));
        out += 'U';
        put16(out, static_cast<quint32>(extensions[0].size() + 2));
        out += chain(extensions);
        out[0] = static_cast<char>(out.size() & 0xFF);
        out[1] = static_cast<char>((out.size() >> 8) & 0xFF);
        const quint16 headerCrc = crc16(out);
        const qsizetype crcAt = 27;  // after the 26 fixed bytes and the extension's type
        out[crcAt] = static_cast<char>(headerCrc & 0xFF);
        out[crcAt + 1] = static_cast<char>(headerCrc >> 8);
        return out;
    }

    int m_level;
    QList<LzhEntry> m_entries;
};

}  // namespace qm::test
