#pragma once

// Builds small tar archives byte by byte for the tests (ustar headers, any name bytes, any size
// field), and compresses them with one of libarchive's filters.

#include <QByteArray>
#include <QList>

#include <archive.h>
#include <archive_entry.h>

namespace qm::test {

class TarBuilder {
public:
    // type: '0' file, '1' hard link, '2' symbolic link, '5' folder. claimedSize < 0: the data's.
    TarBuilder& add(const QByteArray& name, char type, const QByteArray& link = {},
                    const QByteArray& data = {}, qint64 claimedSize = -1) {
        QByteArray header(512, '\0');
        header.replace(0, qMin<qsizetype>(name.size(), 100), name.left(100));
        field(header, 100, 8, type == '5' ? 0755 : 0644);
        field(header, 108, 8, 0);
        field(header, 116, 8, 0);
        field(header, 124, 12, claimedSize < 0 ? data.size() : claimedSize);
        field(header, 136, 12, 1588291200);  // 2020-05-01
        header[156] = type;
        header.replace(157, qMin<qsizetype>(link.size(), 100), link.left(100));
        header.replace(257, 8,
                       QByteArray("ustar\0"
                                  "00",
                                  8));
        header.replace(148, 8, QByteArray(8, ' '));
        unsigned sum = 0;
        for (const char c : header) {
            sum += static_cast<unsigned char>(c);
        }
        field(header, 148, 7, sum);
        m_bytes += header + data + QByteArray((512 - data.size() % 512) % 512, '\0');
        return *this;
    }

    // The archive, compressed with filter ("" none, "gzip", "bzip2", "xz", "zstd").
    QByteArray build(const QByteArray& filter = {}) const {
        const QByteArray tar = m_bytes + QByteArray(1024, '\0');
        if (filter.isEmpty()) {
            return tar;
        }
        archive* writer = archive_write_new();
        archive_write_set_format_raw(writer);
        archive_write_add_filter_by_name(writer, filter.constData());
        QByteArray out(tar.size() + 65536, '\0');
        size_t used = 0;
        archive_write_open_memory(writer, out.data(), static_cast<size_t>(out.size()), &used);
        archive_entry* entry = archive_entry_new();
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_pathname(entry, "tar");
        archive_write_header(writer, entry);
        archive_write_data(writer, tar.constData(), static_cast<size_t>(tar.size()));
        archive_write_close(writer);
        archive_write_free(writer);
        archive_entry_free(entry);
        out.truncate(static_cast<qsizetype>(used));
        return out;
    }

private:
    static void field(QByteArray& header, int offset, int width, qint64 value) {
        const QByteArray octal = QByteArray::number(value, 8).rightJustified(width - 1, '0');
        header.replace(offset, width - 1, octal);
    }

    QByteArray m_bytes;
};

}  // namespace qm::test
