#include "platform/instancelock.h"

#include <QDir>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace qm {

InstanceLock::InstanceLock() : m_lock(lockPath()) {
    // Never stale by age: only a holder that is no longer running gives the lock up.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryLock() {
    return m_lock.tryLock(0);
}

QString InstanceLock::lockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
#ifdef Q_OS_WIN
    const QString user = qEnvironmentVariable("USERNAME");
#else
    const QString user = QString::number(getuid());
#endif
    return folder + QStringLiteral("/quillmorn-") + user + QStringLiteral(".lock");
}

}  // namespace qm
