#include "installer/stagingfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "installer/entrypath.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

const QString kStagingPrefix = QStringLiteral(".qmorn-extract-");
const QString kLockSuffix = QStringLiteral(".lock");
// Where replaced files of a destination wait during a commit; never removed as abandoned, since
// after a crash it may hold the only copy of a user's file.
const QString kAsidePrefix = QStringLiteral(".qmorn-replaced-");
constexpr int kCreateAttempts = 16;

fs::path toPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

bool isRealFolder(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

fs::file_type typeOf(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type();
}

std::vector<fs::path> entriesOf(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    return entries;
}

// The lock that marks a staging folder as in use by a running program. Only a dead owner makes a
// lock stale, never its age: an extraction may take long.
std::unique_ptr<QLockFile> lockFor(const QString& staging) {
    auto lock = std::make_unique<QLockFile>(staging + kLockSuffix);
    lock->setStaleLockTime(0);
    return lock;
}

// Removes the staging folders in parent that no running program owns.
void removeAbandoned(const QString& parent) {
    const QStringList names =
        QDir(parent).entryList({kStagingPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString staging = parent + u'/' + name;
        const std::unique_ptr<QLockFile> lock = lockFor(staging);
        if (lock->tryLock(0)) {
            removeTree(staging);
            lock->unlock();
        }
    }
}

// True when every link below root leads inside root, both by its parts alone (a link
// "../tool/x" in the folder "tool" leads back in only while that is the folder's name) and
// resolved through the links before it.
bool linksStayInside(const fs::path& root) {
    std::error_code error;
    const std::string inside = fs::weakly_canonical(root, error).string();
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_symlink()) {
            continue;
        }
        std::error_code linkError;
        const std::string target = fs::read_symlink(it->path(), linkError).string();
        const std::string name = it->path().lexically_relative(root).string();
        const std::string resolved = fs::weakly_canonical(it->path(), linkError).string();
        if (linkError ||
            !isSafeLinkTarget(QByteArray::fromStdString(name), QByteArray::fromStdString(target)) ||
            (resolved != inside && resolved.compare(0, inside.size() + 1, inside + '/') != 0)) {
            return false;
        }
    }
    return !error;
}

// True when no file of source would have to replace a folder of target.
bool canMerge(const fs::path& source, const fs::path& target) {
    for (const fs::path& from : entriesOf(source)) {
        const fs::path to = target / from.filename();
        if (typeOf(to) == fs::file_type::directory &&
            (!isRealFolder(from) || !canMerge(from, to))) {
            return false;
        }
    }
    return true;
}

// Moves the entries of one folder into another and remembers each step, so that a failure can
// put everything back where it was: the staged files into the staging folder and the replaced
// files of the destination, kept aside meanwhile, into their places.
class Merge {
public:
    explicit Merge(fs::path asideFolder) : m_asideFolder(std::move(asideFolder)) {}
    ~Merge() {
        if (m_asideCreated && !m_keepAside) {
            removeTree(QFile::decodeName(m_asideFolder.string().c_str()));
        }
    }
    Merge(const Merge&) = delete;
    Merge& operator=(const Merge&) = delete;

    // The system error of the step that failed.
    int error() const { return m_error; }

    bool into(const fs::path& source, const fs::path& target) {
        for (const fs::path& from : entriesOf(source)) {
            const fs::path to = target / from.filename();
            const fs::file_type existing = typeOf(to);
            if (existing == fs::file_type::directory) {
                // A folder is merged into, never replaced by a file.
                if (!isRealFolder(from) || !into(from, to)) {
                    return false;
                }
            } else if (!move(from, to, existing != fs::file_type::not_found)) {
                return false;
            }
        }
        return true;
    }

    // Puts every moved entry back, the last one first. What cannot be put back stays aside.
    void undo() {
        for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) {
            std::error_code error;
            if (step->moved) {
                fs::rename(step->to, step->from, error);
            }
            if (!error && !step->aside.empty()) {
                fs::rename(step->aside, step->to, error);
            }
            m_keepAside = m_keepAside || error;
        }
        m_steps.clear();
    }

private:
    struct Step {
        fs::path from;
        fs::path to;
        fs::path aside;  // where the replaced entry waits; empty when nothing was replaced
        bool moved = false;
    };

    bool move(const fs::path& from, const fs::path& to, bool replaces) {
        std::error_code error;
        Step step{from, to, {}, false};
        if (replaces) {
            if (!m_asideCreated) {
                fs::create_directory(m_asideFolder, error);
                m_asideCreated = !error;
                if (error) {
                    m_error = error.value();
                    return false;
                }
            }
            step.aside = m_asideFolder / std::to_string(m_steps.size());
            fs::rename(to, step.aside, error);
            if (error) {
                m_error = error.value();
                return false;
            }
        }
        m_steps.push_back(step);
        fs::rename(from, to, error);
        m_steps.back().moved = !error;
        m_error = error.value();
        return !error;
    }

    fs::path m_asideFolder;
    bool m_asideCreated = false;
    bool m_keepAside = false;
    int m_error = 0;
    std::vector<Step> m_steps;
};

}  // namespace

// The lock of the folder, held while the folder exists.
struct StagingFolder::Lock {
    std::unique_ptr<QLockFile> file;
};

StagingFolder::StagingFolder() = default;

StagingFolder::~StagingFolder() {
    discard();
}

bool StagingFolder::create(const QString& destination) {
    const QString parent = QFileInfo(destination).absolutePath();
    std::error_code made;
    fs::create_directories(toPath(parent), made);
    if (made) {
        m_error = made.value();
        return false;
    }
    const QString realParent = QFileInfo(parent).canonicalFilePath();
    if (realParent.isEmpty()) {
        return false;
    }
    removeAbandoned(realParent);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const QString path =
            realParent + u'/' + kStagingPrefix +
            QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFull, 36);
        std::unique_ptr<QLockFile> lock = lockFor(path);
        // The lock comes first, so that no other run takes the new folder for an abandoned one.
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::PermissionError) {
                m_error = EACCES;
                return false;
            }
            continue;
        }
        std::error_code error;
        if (fs::create_directory(toPath(path), error) && !error) {
            fs::permissions(toPath(path), fs::perms::owner_all, fs::perm_options::replace, error);
            m_path = path;
            m_lock = std::make_unique<Lock>(Lock{std::move(lock)});
            return true;
        }
        m_error = error.value();
    }
    return false;
}

bool StagingFolder::commit(const QString& destination, bool holdsLinks) {
    if (m_path.isEmpty()) {
        return false;
    }
    fs::path source = toPath(m_path);
    // An archive that keeps everything in one folder: that folder's contents are the program's,
    // unless a link in it leads to that folder's side, which would then be outside.
    const std::vector<fs::path> top = entriesOf(source);
    if (top.size() == 1 && isRealFolder(top.front()) &&
        (!holdsLinks || linksStayInside(top.front()))) {
        source = top.front();
    }
    const fs::path target = toPath(destination);
    std::error_code error;
    const fs::file_type existing = typeOf(target);
    bool created = false;
    if (existing == fs::file_type::not_found) {
        // Made like any folder the user makes, so with the mode the umask gives.
        created = fs::create_directory(target, error) && !error;
        if (!created) {
            m_error = error.value();
            return false;
        }
    } else if (existing != fs::file_type::directory || !canMerge(source, target)) {
        return false;
    }
    Merge merge(toPath(QString(m_path).replace(m_path.lastIndexOf(kStagingPrefix),
                                               kStagingPrefix.size(), kAsidePrefix)));
    if (!merge.into(source, target)) {
        m_error = merge.error();
        merge.undo();
        if (created) {
            fs::remove(target, error);
        }
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
    m_lock.reset();
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
