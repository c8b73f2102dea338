#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "platform/portablemode.h"

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

}  // namespace qm
