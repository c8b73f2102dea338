#include "support/bytetree.h"

#include <fstream>
#include <system_error>

#include <sys/stat.h>

#include "platform/pathbytes.h"

namespace qm::test {

namespace fs = std::filesystem;

QMap<QString, QByteArray> byteTree(const QString& folder) {
    QMap<QString, QByteArray> entries;
    const fs::path root = fsPath(folder);
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        QString relative = pathText(path.lexically_relative(root));
        struct stat st {};
        ::lstat(path.c_str(), &st);
        const bool readOnly = !S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR);
        if (S_ISDIR(st.st_mode)) {
            if (fs::is_empty(path, ec)) {
                entries.insert(relative + u'/' + (readOnly ? " (read-only)" : ""), QByteArray());
            } else if (readOnly) {
                entries.insert(relative + "/ (read-only)", QByteArray());
            }
            continue;
        }
        if (readOnly) {
            relative += " (read-only)";
        }
        if (S_ISLNK(st.st_mode)) {
            entries.insert(relative, "-> " + QByteArray::fromStdString(fs::read_symlink(path, ec)));
        } else if (!S_ISREG(st.st_mode)) {
            entries.insert(relative, "(special)");
        } else {
            std::ifstream in(path, std::ios::binary);
            entries.insert(relative, QByteArray::fromStdString(
                                         std::string(std::istreambuf_iterator<char>(in), {})));
        }
    }
    return entries;
}

void writeRawFile(const fs::path& path, const QByteArray& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
}

QString otherFileSystemFolder(const QString& base, QString* reason) {
    QString candidate = qEnvironmentVariable("QM_OTHER_FS");
    if (candidate.isEmpty()) {
        candidate = QStringLiteral("/dev/shm");
    }
    struct stat here {};
    struct stat there {};
    if (::stat(fsPath(base).c_str(), &here) != 0 ||
        ::stat(fsPath(candidate).c_str(), &there) != 0) {
        *reason = candidate + " does not exist";
        return QString();
    }
    if (here.st_dev == there.st_dev) {
        *reason = candidate + " is on the same file system as " + base;
        return QString();
    }
    return candidate;
}

void makeTreeWritable(const QString& folder) {
    const fs::path root = fsPath(folder);
    std::error_code ec;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
}

void removeTree(const QString& folder) {
    makeTreeWritable(folder);
    std::error_code ec;
    fs::remove_all(fsPath(folder), ec);
}

}  // namespace qm::test
