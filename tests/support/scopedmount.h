#pragma once

#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <unistd.h>

namespace qm::test {

// A small tmpfs mounted on a folder for the lifetime of the object, where the test may mount
// (as root); mounted() tells whether it is.
class ScopedMount {
public:
    explicit ScopedMount(const QString& folder) {
        const QByteArray path = QFile::encodeName(folder);
        if (!folder.isEmpty() && ::geteuid() == 0 &&
            ::mount("qm-test", path.constData(), "tmpfs", 0, "size=1m") == 0) {
            m_path = path;
        }
    }
    ~ScopedMount() {
        if (!m_path.isEmpty()) {
            ::umount2(m_path.constData(), MNT_DETACH);
        }
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;
    bool mounted() const { return !m_path.isEmpty(); }

private:
    QByteArray m_path;
};

}  // namespace qm::test
