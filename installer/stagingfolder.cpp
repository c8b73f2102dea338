#include "installer/stagingfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace qm {
namespace {

namespace fs = std::filesystem;

fs::path toPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

bool isRealFolder(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

// Moves every entry of source into target (both real folders); source is left empty.
bool mergeInto(const fs::path& source, const fs::path& target) {
    std::error_code error;
    for (fs::directory_iterator it(source, error), end; !error && it != end; it.increment(error)) {
        const fs::path from = it->path();
        const fs::path to = target / from.filename();
        const fs::file_type existing = fs::symlink_status(to, error).type();
        error.clear();
        if (existing == fs::file_type::not_found) {
            fs::rename(from, to, error);
        } else if (existing == fs::file_type::directory) {
            // A folder is merged into, never replaced by a file.
            if (!isRealFolder(from) || !mergeInto(from, to)) {
                return false;
            }
        } else {
            fs::remove(to, error);
            if (!error) {
                fs::rename(from, to, error);
            }
        }
        if (error) {
            return false;
        }
    }
    return !error;
}

}  // namespace

StagingFolder::~StagingFolder() {
    discard();
}

bool StagingFolder::create(const QString& destination) {
    const QString parent = QFileInfo(destination).absolutePath();
    if (!QDir().mkpath(parent)) {
        return false;
    }
    const QString realParent = QFileInfo(parent).canonicalFilePath();
    if (realParent.isEmpty()) {
        return false;
    }
    QTemporaryDir dir(realParent + QStringLiteral("/.qmorn-extract-XXXXXX"));
    if (!dir.isValid()) {
        return false;
    }
    dir.setAutoRemove(false);
    m_path = dir.path();
    return true;
}

bool StagingFolder::commit(const QString& destination) {
    if (m_path.isEmpty()) {
        return false;
    }
    const fs::path target = toPath(destination);
    std::error_code error;
    const fs::file_type existing = fs::symlink_status(target, error).type();
    if (existing == fs::file_type::not_found) {
        fs::rename(toPath(m_path), target, error);
        if (error) {
            return false;
        }
        m_path.clear();
        return true;
    }
    if (existing != fs::file_type::directory || !mergeInto(toPath(m_path), target)) {
        return false;
    }
    discard();
    return true;
}

void StagingFolder::discard() {
    if (!m_path.isEmpty()) {
        removeTree(m_path);
        m_path.clear();
    }
}

void removeTree(const QString& path) {
    const fs::path root = toPath(path);
    std::error_code error;
    if (isRealFolder(root)) {
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, error);
        for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
             it.increment(error)) {
            if (isRealFolder(it->path())) {
                // Before the iterator goes into it.
                std::error_code ignored;
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
    }
    fs::remove_all(root, error);
}

}  // namespace qm
