#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "platform/fspath.h"
#include "platform/pathbytes.h"
#include "platform/portablemode.h"

#include <cerrno>

#include <unistd.h>

namespace qm {

QString programFolder() {
    if (PortableMode::isActive()) {
        return PortableMode::folder();
    }
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(QCoreApplication::applicationDirPath());
#else
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    const QString folder = base + QStringLiteral("/quillmorn");
    QDir().mkpath(folder);
    return folder;
#endif
}

QString programExecutable() {
    return QCoreApplication::applicationFilePath();
}

QString applicationsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    while (folder.size() > 1 && folder.endsWith(u'/')) {
        folder.chop(1);
    }
    return folder;
}

bool isAbsolutePath(const QString& path) {
    return path.startsWith(kSeparator);
}

QString cleanPath(const QString& path) {
    return QDir::cleanPath(path);
}

QString absolutePath(const QString& path) {
    if (isAbsolutePath(path) || path.isEmpty()) {
        return cleanPath(path);
    }
    // The current folder by its bytes: its name need not be text.
    QByteArray current(4096, '\0');
    while (!::getcwd(current.data(), current.size())) {
        if (errno != ERANGE) {
            return cleanPath(path);
        }
        current.resize(current.size() * 2);
    }
    return cleanPath(FsPath::fromBytes(QByteArray(current.constData())).child(path).text());
}

QString shownPath(const QString& path) {
    return readableName(QDir::toNativeSeparators(path));
}

ScopedCurrentFolder::ScopedCurrentFolder(const QString& folder) : m_previous(QDir::currentPath()) {
    if (!folder.isEmpty()) {
        QDir::setCurrent(folder);
    }
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
    QDir::setCurrent(m_previous);
}

}  // namespace qm
