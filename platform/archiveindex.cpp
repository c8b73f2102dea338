#include "platform/archiveindex.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qm {
namespace {

bool isSevenZip(const QByteArray& archive) {
    static constexpr char kSignature[] = {'7', 'z', '\xbc', '\xaf', '\x27', '\x1c'};
    const int fd = ::open(archive.constData(), O_RDONLY | O_CLOEXEC);
    char head[sizeof kSignature] = {};
    const bool read = fd >= 0 && ::read(fd, head, sizeof head) == ssize_t(sizeof head);
    if (fd >= 0) {
        ::close(fd);
    }
    return read && std::equal(head, head + sizeof head, kSignature);
}

// Resident bytes of a process, from /proc (0 when it cannot be read).
qint64 residentBytes(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", int(pid));
    FILE* file = std::fopen(path, "re");
    long pages = 0;
    long resident = 0;
    const bool read = file && std::fscanf(file, "%ld %ld", &pages, &resident) == 2;
    if (file) {
        std::fclose(file);
    }
    return read ? qint64(resident) * ::sysconf(_SC_PAGESIZE) : 0;
}

// In the child: reads the index (which the first header brings) and leaves.
[[noreturn]] void readIndex(const char* archive, int seconds) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit cpu{rlim_t(seconds), rlim_t(seconds) + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
    struct archive* reader = archive_read_new();
    archive_read_support_format_7zip(reader);
    if (archive_read_open_filename(reader, archive, 10240) == ARCHIVE_OK) {
        archive_entry* entry = nullptr;
        archive_read_next_header(reader, &entry);
    }
    ::_exit(0);
}

}  // namespace

IndexCheck checkIndexApart(const QByteArray& archive, qint64 memoryBytes, int seconds,
                           const std::atomic<bool>* cancel) {
    if (!isSevenZip(archive)) {
        return IndexCheck::Fine;
    }
    // The child starts with what this process holds resident; it may add memoryBytes.
    const qint64 ceiling = residentBytes(::getpid()) + memoryBytes;
    const pid_t child = ::fork();
    if (child < 0) {
        return IndexCheck::Failed;
    }
    if (child == 0) {
        readIndex(archive.constData(), seconds);
    }
    QElapsedTimer clock;
    clock.start();
    IndexCheck outcome = IndexCheck::Fine;
    for (;;) {
        int status = 0;
        rusage usage{};
        const pid_t done = ::wait4(child, &status, WNOHANG, &usage);
        if (done == child) {
            const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            return clean && qint64(usage.ru_maxrss) * 1024 <= ceiling ? outcome
                                                                      : IndexCheck::Oversized;
        }
        if (done < 0) {
            return IndexCheck::Failed;
        }
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            outcome = IndexCheck::Cancelled;
        } else if (residentBytes(child) > ceiling || clock.elapsed() > seconds * 1000LL) {
            outcome = IndexCheck::Oversized;
        } else {
            QThread::msleep(5);
            continue;
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return outcome;
    }
}

}  // namespace qm
