#include "platform/fileoperation.h"

#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace qm {
namespace {

namespace fs = std::filesystem;

// Results of shellFileOperation() besides 0.
constexpr int kMissingSource = 2;      // the source folder does not exist
constexpr int kBadRequest = 0x7c;      // an unknown function, an empty path, a loop
constexpr int kBadDestination = 0x7a;  // the destination cannot be made a folder
constexpr int kTransferFailed = 0x75;  // a file or folder could not be moved or copied

constexpr qint64 kCopyChunk = 1 << 20;

FileSystemFault& installedFault() {
    static FileSystemFault fault;
    return fault;
}

fs::path toPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

QString fromPath(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

bool refuses(const fs::path& path) {
    return fileSystemRefuses(fromPath(path));
}

QString beforeNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

bool isRealFolder(const fs::file_status& status) {
    return fs::is_directory(status) && !fs::is_symlink(status);
}

// The names in a folder, sorted, so that a transfer always runs in the same order.
bool listNames(const fs::path& folder, std::vector<fs::path>* names) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return false;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        names->push_back(it->path().filename());
    }
    if (ec) {
        return false;
    }
    std::sort(names->begin(), names->end());
    return true;
}

// Moves or copies one tree of entries; stops at the first failure.
class Transfer {
public:
    Transfer(bool move, const FileOperationProgress& progress)
        : m_move(move), m_progress(progress) {}

    bool entry(const fs::path& from, const fs::path& to) {
        return m_move ? moveEntry(from, to) : copyEntry(from, to);
    }

private:
    void tick() {
        if (m_progress) {
            m_progress();
        }
    }

    // Renames from to to; false with *crossDevice set when only a copy can do it.
    bool tryRename(const fs::path& from, const fs::path& to, bool* crossDevice) {
        *crossDevice = false;
        if (refuses(from) || refuses(to)) {
            return false;
        }
        if (installedFault().crossDevice) {
            *crossDevice = true;
            return false;
        }
        std::error_code ec;
        fs::rename(from, to, ec);
        if (ec == std::errc::cross_device_link) {
            *crossDevice = true;
        }
        return !ec;
    }

    bool moveEntry(const fs::path& from, const fs::path& to) {
        tick();
        std::error_code ec;
        const fs::file_status source = fs::symlink_status(from, ec);
        if (ec) {
            return false;
        }
        const fs::file_status target = fs::symlink_status(to, ec);
        const bool targetExists = fs::exists(target);
        bool crossDevice = false;
        if (isRealFolder(source)) {
            if (targetExists && !isRealFolder(target)) {
                return false;
            }
            if (!targetExists) {
                if (tryRename(from, to, &crossDevice)) {
                    return true;
                }
                if (!crossDevice || !makeFolderLike(from, to)) {
                    return false;
                }
            }
            // Merge: move every entry, then remove the emptied folder.
            return moveChildren(from, to) && removeEntry(from);
        }
        if (targetExists && isRealFolder(target)) {
            return false;
        }
        if (tryRename(from, to, &crossDevice)) {
            return true;
        }
        // Across file systems the source goes only once its copy is complete.
        return crossDevice && copyLeaf(from, to, source) && removeEntry(from);
    }

    bool moveChildren(const fs::path& from, const fs::path& to) {
        std::vector<fs::path> names;
        if (!listNames(from, &names)) {
            return false;
        }
        return std::all_of(names.begin(), names.end(),
                           [&](const fs::path& name) { return moveEntry(from / name, to / name); });
    }

    bool copyEntry(const fs::path& from, const fs::path& to) {
        tick();
        std::error_code ec;
        const fs::file_status source = fs::symlink_status(from, ec);
        if (ec) {
            return false;
        }
        const fs::file_status target = fs::symlink_status(to, ec);
        const bool targetExists = fs::exists(target);
        if (isRealFolder(source)) {
            if (targetExists && !isRealFolder(target)) {
                return false;
            }
            if (!targetExists && !makeFolderLike(from, to)) {
                return false;
            }
            std::vector<fs::path> names;
            if (!listNames(from, &names)) {
                return false;
            }
            return std::all_of(names.begin(), names.end(), [&](const fs::path& name) {
                return copyEntry(from / name, to / name);
            });
        }
        if (targetExists && isRealFolder(target)) {
            return false;
        }
        return copyLeaf(from, to, source);
    }

    bool makeFolderLike(const fs::path& from, const fs::path& to) {
        if (refuses(to)) {
            return false;
        }
        std::error_code ec;
        if (!fs::create_directory(to, ec) || ec) {
            return false;
        }
        fs::permissions(to, fs::status(from, ec).permissions(), ec);
        return true;
    }

    bool removeEntry(const fs::path& path) {
        if (refuses(path)) {
            return false;
        }
        std::error_code ec;
        return fs::remove(path, ec) && !ec;
    }

    // Copies a file or a link (as a link) over to; to is replaced only by a complete copy.
    bool copyLeaf(const fs::path& from, const fs::path& to, const fs::file_status& source) {
        if (refuses(from) || refuses(to)) {
            return false;
        }
        if (fs::is_symlink(source)) {
            return copyLink(from, to);
        }
        if (!fs::is_regular_file(source)) {
            return false;
        }
        QFile input(fromPath(from));
        if (!input.open(QIODevice::ReadOnly)) {
            return false;
        }
        QTemporaryFile output(fromPath(to.parent_path() / ".qm-transfer-XXXXXX"));
        if (!output.open()) {
            return false;
        }
        while (!input.atEnd()) {
            const QByteArray chunk = input.read(kCopyChunk);
            if (chunk.isEmpty() && input.error() != QFileDevice::NoError) {
                return false;
            }
            if (output.write(chunk) != chunk.size()) {
                return false;
            }
            tick();
        }
        if (!output.flush()) {
            return false;
        }
        output.setPermissions(input.permissions());
        output.setFileTime(input.fileTime(QFileDevice::FileModificationTime),
                           QFileDevice::FileModificationTime);
        std::error_code ec;
        fs::rename(toPath(output.fileName()), to, ec);
        if (ec) {
            return false;
        }
        output.setAutoRemove(false);
        return true;
    }

    bool copyLink(const fs::path& from, const fs::path& to) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(from, ec);
        if (ec) {
            return false;
        }
        // Made under a temporary name, then renamed over whatever to was.
        fs::path temporary = to;
        temporary += ".qm-link";
        fs::remove(temporary, ec);
        fs::create_symlink(target, temporary, ec);
        if (ec) {
            return false;
        }
        fs::rename(temporary, to, ec);
        if (ec) {
            fs::remove(temporary, ec);
            return false;
        }
        return true;
    }

    bool m_move;
    const FileOperationProgress& m_progress;
};

// True when inner is folder itself or lies inside it.
bool isSameOrInside(const fs::path& inner, const fs::path& folder) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec);
    if (ec) {
        return false;
    }
    const fs::path b = fs::weakly_canonical(folder, ec);
    if (ec) {
        return false;
    }
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) {
            continue;  // a trailing separator
        }
        if (ai == a.end() || *ai != *bi) {
            return false;
        }
    }
    return true;
}

}  // namespace

int shellFileOperation(const FileOperation& operation, const FileOperationProgress& progress) {
    if (operation.wFunc != FileOperation::Move && operation.wFunc != FileOperation::Copy) {
        return kBadRequest;
    }
    QString from = beforeNul(operation.pFrom);
    const QString to = withoutTrailingSeparators(beforeNul(operation.pTo));
    // "folder/*.*" (or "folder/*") stands for everything inside the folder; anything else for
    // that one file or folder.
    bool contents = false;
    for (const QString& wildcard : {QStringLiteral("/*.*"), QStringLiteral("/*")}) {
        if (from.endsWith(wildcard)) {
            from.chop(wildcard.size() - 1);
            contents = true;
            break;
        }
    }
    from = withoutTrailingSeparators(from);
    if (from.isEmpty() || to.isEmpty()) {
        return kBadRequest;
    }
    const fs::path source = toPath(from);
    const fs::path destination = toPath(to);

    std::error_code ec;
    const fs::file_status sourceStatus = fs::status(source, ec);
    if (ec || !fs::exists(sourceStatus) || (contents && !fs::is_directory(sourceStatus))) {
        return kMissingSource;
    }
    if (fs::is_directory(sourceStatus) && isSameOrInside(destination, source)) {
        return kBadRequest;
    }
    const fs::file_status destinationStatus = fs::status(destination, ec);
    if (!fs::exists(destinationStatus)) {
        if (refuses(destination) || !fs::create_directories(destination, ec) || ec) {
            return kBadDestination;
        }
    } else if (!fs::is_directory(destinationStatus)) {
        return kBadDestination;
    }

    Transfer transfer(operation.wFunc == FileOperation::Move, progress);
    if (!contents) {
        return transfer.entry(source, destination / source.filename()) ? 0 : kTransferFailed;
    }
    std::vector<fs::path> names;
    if (!listNames(source, &names)) {
        return kTransferFailed;
    }
    for (const fs::path& name : names) {
        if (!transfer.entry(source / name, destination / name)) {
            return kTransferFailed;
        }
    }
    return 0;
}

void setFileSystemFault(FileSystemFault fault) {
    installedFault() = std::move(fault);
}

const FileSystemFault& fileSystemFault() {
    return installedFault();
}

bool fileSystemRefuses(const QString& path) {
    const FileSystemFault& fault = installedFault();
    return fault.refuses && fault.refuses(path);
}

}  // namespace qm
