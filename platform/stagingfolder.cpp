#include "platform/stagingfolder.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/pathbytes.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

const std::string kStagingPrefix = ".qmorn-extract-";
const std::string kLockSuffix = ".lock";
// Where replaced files of a destination wait during a commit; never removed as abandoned, since
// after a crash it may hold the only copy of a user's file.
const std::string kAsidePrefix = ".qmorn-replaced-";
constexpr int kCreateAttempts = 16;

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

// The lock that marks a staging folder as in use by a running program: an advisory lock on a file
// beside it, which the system lets go when its owner ends, however it ends. Only a dead owner
// makes a lock free, never its age: an extraction may take long. -1 (with errno) when the lock
// file cannot be opened or another run holds it.
int takeLock(const fs::path& staging, int createFlags) {
    const std::string lockPath = staging.native() + kLockSuffix;
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | createFlags, 0600);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

void releaseLock(const fs::path& staging, int fd) {
    ::unlink((staging.native() + kLockSuffix).c_str());
    ::close(fd);
}

// Removes the staging folders in parent that no running program owns.
void removeAbandoned(const fs::path& parent) {
    for (const fs::path& entry : entriesOf(parent)) {
        if (!entry.filename().native().starts_with(kStagingPrefix) || !isRealFolder(entry)) {
            continue;
        }
        const int fd = takeLock(entry, O_CREAT);
        if (fd >= 0) {
            removeTree(pathText(entry));
            releaseLock(entry, fd);
        }
    }
}

// True when every link below root leads inside root, both by its parts alone (a link
// "../tool/x" in the folder "tool" leads back in only while that is the folder's name) and
// resolved through the links before it.
bool linksStayInside(const fs::path& root, StagingFolder::LinkCheck linkCheck) {
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
            !linkCheck(QByteArray::fromStdString(name), QByteArray::fromStdString(target)) ||
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
            removeTree(pathText(m_asideFolder));
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

StagingFolder::StagingFolder() = default;

StagingFolder::~StagingFolder() {
    discard();
}

bool StagingFolder::create(const QString& destination) {
    fs::path target = fs::absolute(fsPath(destination));
    if (!target.has_filename()) {
        target = target.parent_path();
    }
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    const fs::path parent = error ? fs::path() : fs::canonical(target.parent_path(), error);
    if (error) {
        m_error = error.value();
        return false;
    }
    removeAbandoned(parent);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const fs::path path =
            parent /
            (kStagingPrefix +
             QByteArray::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFull, 36)
                 .toStdString());
        // The lock comes first, so that no other run takes the new folder for an abandoned one.
        const int fd = takeLock(path, O_CREAT | O_EXCL);
        if (fd < 0) {
            m_error = errno;
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        if (fs::create_directory(path, error) && !error) {
            fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace, error);
            m_path = pathText(path);
            m_lockFd = fd;
            return true;
        }
        m_error = error.value();
        releaseLock(path, fd);
    }
    return false;
}

bool StagingFolder::commit(const QString& destination, LinkCheck linkCheck) {
    if (m_path.isEmpty()) {
        return false;
    }
    const fs::path staging = fsPath(m_path);
    fs::path source = staging;
    // An archive that keeps everything in one folder: that folder's contents are the program's,
    // unless a link in it leads to that folder's side, which would then be outside.
    const std::vector<fs::path> top = entriesOf(source);
    if (top.size() == 1 && isRealFolder(top.front()) &&
        (!linkCheck || linksStayInside(top.front(), linkCheck))) {
        source = top.front();
    }
    const fs::path target = fsPath(destination);
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
    Merge merge(staging.parent_path() /
                (kAsidePrefix + staging.filename().native().substr(kStagingPrefix.size())));
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
    if (m_path.isEmpty()) {
        return;
    }
    const fs::path staging = fsPath(m_path);
    removeTree(m_path);
    m_path.clear();
    if (m_lockFd >= 0) {
        releaseLock(staging, m_lockFd);
        m_lockFd = -1;
    }
}

void removeTree(const QString& path) {
    const fs::path root = fsPath(path);
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
