#include "platform/appimage.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <archive.h>
#include <archive_entry.h>
#include <sqfs/compressor.h>
#include <sqfs/data_reader.h>
#include <sqfs/dir.h>
#include <sqfs/dir_reader.h>
#include <sqfs/error.h>
#include <sqfs/inode.h>
#include <sqfs/io.h>
#include <sqfs/super.h>

#include <memory>

#include "platform/programkind.h"
#include "platform/regularfile.h"

namespace qm {
namespace {

constexpr int kMaxRootEntries = 4096;
constexpr quint64 kMaxFragments = 4 * 1024 * 1024;
constexpr qint64 kMaxIsoEntries = 100000;

quint64 readLittle(const QByteArray& bytes, qsizetype at, int width) {
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | static_cast<quint8>(bytes[at + i]);
    }
    return value;
}

// Where the image begins: after the ELF runtime, whose section header table is its last part.
qint64 imageOffset(const QByteArray& head) {
    if (head.size() < 64 || head[5] != 1) {
        return -1;
    }
    const bool wide = head[4] == 2;
    const quint64 shoff = readLittle(head, wide ? 0x28 : 0x20, wide ? 8 : 4);
    const quint64 shentsize = readLittle(head, wide ? 0x3A : 0x2E, 2);
    const quint64 shnum = readLittle(head, wide ? 0x3C : 0x30, 2);
    const quint64 end = shoff + shentsize * shnum;
    if (shoff > (quint64(1) << 40) || end < shoff) {
        return -1;
    }
    return static_cast<qint64>(end);
}

// A libsquashfs file that reads a window of a device: the image after the runtime.
struct DeviceWindow {
    sqfs_file_t file{};  // first, so that a sqfs_file_t* is a DeviceWindow*
    QIODevice* device = nullptr;
    qint64 offset = 0;
    qint64 size = 0;
};

int readWindow(sqfs_file_t* file, sqfs_u64 offset, void* buffer, size_t size) {
    auto* window = reinterpret_cast<DeviceWindow*>(file);
    if (offset > quint64(window->size) || size > quint64(window->size) - offset) {
        return SQFS_ERROR_OUT_OF_BOUNDS;
    }
    if (!window->device->seek(window->offset + qint64(offset)) ||
        window->device->read(static_cast<char*>(buffer), qint64(size)) != qint64(size)) {
        return SQFS_ERROR_IO;
    }
    return 0;
}

int refuseWrite(sqfs_file_t*, sqfs_u64, const void*, size_t) {
    return SQFS_ERROR_UNSUPPORTED;
}

sqfs_u64 windowSize(const sqfs_file_t* file) {
    return quint64(reinterpret_cast<const DeviceWindow*>(file)->size);
}

int refuseTruncate(sqfs_file_t*, sqfs_u64) {
    return SQFS_ERROR_UNSUPPORTED;
}

void keepWindow(sqfs_object_t*) {}  // the window lives on the stack

struct SqfsDeleter {
    void operator()(void* object) const { sqfs_destroy(object); }
};
struct SqfsFree {
    void operator()(void* memory) const { sqfs_free(memory); }
};
using Inode = std::unique_ptr<sqfs_inode_generic_t, SqfsFree>;

// A path inside the image: link targets are taken relative to the link's folder; an absolute
// target or one that climbs above the root leads outside the image and is refused.
std::optional<QByteArray> joinInside(const QByteArray& folder, const QByteArray& target) {
    if (target.isEmpty() || target.startsWith('/')) {
        return std::nullopt;
    }
    QByteArrayList parts = folder.isEmpty() ? QByteArrayList() : folder.split('/');
    for (const QByteArray& part : target.split('/')) {
        if (part.isEmpty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (parts.isEmpty()) {
                return std::nullopt;
            }
            parts.removeLast();
        } else {
            parts.append(part);
        }
    }
    if (parts.isEmpty()) {
        return std::nullopt;
    }
    return parts.join('/');
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash);
}

class SquashImage {
public:
    SquashImage(QIODevice& device, qint64 offset) {
        m_window.device = &device;
        m_window.offset = offset;
        m_window.size = device.size() - offset;
        m_window.file.base.destroy = keepWindow;
        m_window.file.read_at = readWindow;
        m_window.file.write_at = refuseWrite;
        m_window.file.get_size = windowSize;
        m_window.file.truncate = refuseTruncate;
    }

    bool open() {
        // A cut image (shorter than its super block says) is damaged as a whole. The library
        // allocates the fragment table whole from the count the super block claims: each
        // fragment takes at least a byte of the image, and no real one has millions.
        if (m_window.size <= 0 || sqfs_super_read(&m_super, &m_window.file) != 0 ||
            m_super.bytes_used > quint64(m_window.size) ||
            m_super.fragment_entry_count > std::min<quint64>(m_super.bytes_used, kMaxFragments)) {
            return false;
        }
        sqfs_compressor_config_t config;
        if (sqfs_compressor_config_init(&config, SQFS_COMPRESSOR(m_super.compression_id),
                                        m_super.block_size, SQFS_COMP_FLAG_UNCOMPRESS) != 0) {
            return false;
        }
        sqfs_compressor_t* compressor = nullptr;
        if (sqfs_compressor_create(&config, &compressor) != 0) {
            return false;
        }
        m_compressor.reset(compressor);
        m_dirs.reset(sqfs_dir_reader_create(&m_super, compressor, &m_window.file, 0));
        m_data.reset(sqfs_data_reader_create(&m_window.file, m_super.block_size, compressor, 0));
        if (!m_dirs || !m_data ||
            sqfs_data_reader_load_fragment_table(m_data.get(), &m_super) != 0) {
            return false;
        }
        sqfs_inode_generic_t* root = nullptr;
        if (sqfs_dir_reader_get_root_inode(m_dirs.get(), &root) != 0) {
            return false;
        }
        m_root.reset(root);
        return true;
    }

    // The names directly in the root folder.
    QByteArrayList rootNames() {
        QByteArrayList names;
        if (sqfs_dir_reader_open_dir(m_dirs.get(), m_root.get(), 0) != 0) {
            return names;
        }
        sqfs_dir_entry_t* entry = nullptr;
        while (names.size() < kMaxRootEntries && sqfs_dir_reader_read(m_dirs.get(), &entry) == 0) {
            names.append(QByteArray(reinterpret_cast<const char*>(entry->name), entry->size + 1));
            sqfs_free(entry);
        }
        return names;
    }

    // A regular file's bytes, following links inside the image; empty when it is missing, too
    // large, or leads outside or round in circles.
    QByteArray fileAt(QByteArray path, qint64 maxSize) {
        for (int links = 0; links <= kMaxAppImageLinks; ++links) {
            sqfs_inode_generic_t* found = nullptr;
            if (sqfs_dir_reader_find_by_path(m_dirs.get(), m_root.get(), path.constData(),
                                             &found) != 0) {
                return {};
            }
            const Inode inode(found);
            const auto type = inode->base.type;
            if (type == SQFS_INODE_SLINK || type == SQFS_INODE_EXT_SLINK) {
                const quint32 length = type == SQFS_INODE_SLINK ? inode->data.slink.target_size
                                                                : inode->data.slink_ext.target_size;
                if (length == 0 || length > inode->payload_bytes_used) {
                    return {};
                }
                const QByteArray target(reinterpret_cast<const char*>(inode->extra), length);
                const auto next = joinInside(folderOf(path), target);
                if (!next) {
                    return {};
                }
                path = *next;
                continue;
            }
            return contents(*inode, maxSize);
        }
        return {};
    }

private:
    QByteArray contents(const sqfs_inode_generic_t& inode, qint64 maxSize) {
        sqfs_u64 size = 0;
        if (sqfs_inode_get_file_size(&inode, &size) != 0 || size == 0 || size > quint64(maxSize)) {
            return {};
        }
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        const sqfs_s32 read =
            sqfs_data_reader_read(m_data.get(), &inode, 0, bytes.data(), sqfs_u32(size));
        if (read != sqfs_s32(size)) {
            return {};
        }
        return bytes;
    }

    DeviceWindow m_window;
    sqfs_super_t m_super{};
    std::unique_ptr<sqfs_compressor_t, SqfsDeleter> m_compressor;
    std::unique_ptr<sqfs_dir_reader_t, SqfsDeleter> m_dirs;
    std::unique_ptr<sqfs_data_reader_t, SqfsDeleter> m_data;
    Inode m_root;
};

AppImageContents readSquash(QIODevice& device, qint64 offset) {
    AppImageContents contents;
    SquashImage image(device, offset);
    if (!image.open()) {
        return contents;
    }
    const QByteArrayList names = image.rootNames();
    for (const QByteArray& name : names) {
        if (name.endsWith(".desktop")) {
            contents.desktopEntry = image.fileAt(name, kMaxAppImageDesktopEntry);
            if (!contents.desktopEntry.isEmpty()) {
                break;
            }
        }
    }
    if (names.contains(".DirIcon")) {
        contents.icon = image.fileAt(".DirIcon", kMaxAppImageIcon);
    }
    return contents;
}

// libarchive reading from the device, for the ISO 9660 image of a type-1 AppImage.
struct DeviceReader {
    QIODevice* device;
    QByteArray chunk;
};

la_ssize_t readDevice(archive*, void* data, const void** buffer) {
    auto* reader = static_cast<DeviceReader*>(data);
    reader->chunk = reader->device->read(64 * 1024);
    *buffer = reader->chunk.constData();
    return reader->chunk.size();
}

QByteArray entryPath(archive_entry* entry) {
    QByteArray path = archive_entry_pathname(entry);
    while (path.startsWith("./")) {
        path.remove(0, 2);
    }
    return path;
}

QByteArray readEntry(archive* reader, archive_entry* entry, qint64 maxSize) {
    const qint64 size = archive_entry_size(entry);
    if (size <= 0 || size > maxSize) {
        return {};
    }
    QByteArray bytes(size, Qt::Uninitialized);
    if (archive_read_data(reader, bytes.data(), size_t(size)) != size) {
        return {};
    }
    return bytes;
}

// One pass over the ISO image: calls visit for each entry until it returns false.
template <typename Visit>
void eachIsoEntry(QIODevice& device, Visit visit) {
    DeviceReader state{&device, {}};
    if (!device.seek(0)) {
        return;
    }
    const std::unique_ptr<archive, int (*)(archive*)> reader(archive_read_new(), archive_read_free);
    archive_read_support_format_iso9660(reader.get());
    if (archive_read_open(reader.get(), &state, nullptr, readDevice, nullptr) != ARCHIVE_OK) {
        return;
    }
    archive_entry* entry = nullptr;
    for (qint64 count = 0;
         count < kMaxIsoEntries && archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK;
         ++count) {
        if (!visit(reader.get(), entry)) {
            return;
        }
    }
}

AppImageContents readIso(QIODevice& device) {
    AppImageContents contents;
    // First pass: the desktop entry, and where ".DirIcon" leads.
    QHash<QByteArray, QByteArray> links;
    QByteArray iconPath;
    eachIsoEntry(device, [&](archive* reader, archive_entry* entry) {
        const QByteArray path = entryPath(entry);
        if (const char* target = archive_entry_symlink(entry)) {
            links.insert(path, target);
        } else if (path == ".DirIcon" && archive_entry_filetype(entry) == AE_IFREG) {
            contents.icon = readEntry(reader, entry, kMaxAppImageIcon);
        } else if (contents.desktopEntry.isEmpty() && !path.contains('/') &&
                   path.endsWith(".desktop") && archive_entry_filetype(entry) == AE_IFREG) {
            contents.desktopEntry = readEntry(reader, entry, kMaxAppImageDesktopEntry);
        }
        return true;
    });
    if (!contents.icon.isEmpty() || !links.contains(".DirIcon")) {
        return contents;
    }
    QByteArray path = ".DirIcon";
    for (int depth = 0; depth <= kMaxAppImageLinks && links.contains(path); ++depth) {
        const auto next = joinInside(folderOf(path), links.value(path));
        if (!next) {
            return contents;
        }
        path = *next;
    }
    if (links.contains(path)) {
        return contents;
    }
    // Second pass: the file the link leads to.
    eachIsoEntry(device, [&](archive* reader, archive_entry* entry) {
        if (entryPath(entry) != path || archive_entry_filetype(entry) != AE_IFREG) {
            return true;
        }
        contents.icon = readEntry(reader, entry, kMaxAppImageIcon);
        return false;
    });
    return contents;
}

}  // namespace

AppImageContents readAppImage(QIODevice& device) {
    if (!device.seek(0)) {
        return {};
    }
    const QByteArray head = device.read(kProgramHeadSize);
    switch (appImageType(head)) {
        case 1:
            return readIso(device);
        case 2: {
            const qint64 offset = imageOffset(head);
            if (offset <= 0 || offset >= device.size()) {
                return {};
            }
            return readSquash(device, offset);
        }
        default:
            return {};
    }
}

AppImageContents readAppImage(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path)) {
        return {};
    }
    return readAppImage(file);
}

bool isSvg(const QByteArray& bytes) {
    const QByteArray start = bytes.left(1024);
    return start.contains("<svg") || (start.contains("<?xml") && bytes.contains("<svg"));
}

QImage decodeIcon(const QByteArray& bytes, int size) {
    if (bytes.isEmpty()) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, isSvg(bytes) ? QByteArray("svg") : QByteArray());
    // A picture claiming an enormous size is not decoded at all.
    const QSize own = reader.size();
    if (own.isValid() && qint64(own.width()) * own.height() > 4096 * 4096) {
        return {};
    }
    if (size > 0) {
        reader.setScaledSize(QSize(size, size));
    }
    QImage image = reader.read();
    if (!image.isNull() && size > 0 && image.size() != QSize(size, size)) {
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

}  // namespace qm
