#include "remover/settingsremover.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace qmclean {
namespace {

QString g_storeFolder;

enum class Outcome { NotFound, Removed, Failed };

// Removes every top-level group of settings whose name equals section without regard to case.
Outcome removeGroups(QSettings& settings, const QString& section) {
    if (settings.status() != QSettings::NoError) {
        return Outcome::Failed;
    }
    bool found = false;
    const QStringList groups = settings.childGroups();
    for (const QString& group : groups) {
        if (group.compare(section, Qt::CaseInsensitive) == 0) {
            settings.remove(group);
            found = true;
        }
    }
    if (!found) {
        return Outcome::NotFound;
    }
    settings.sync();
    return settings.status() == QSettings::NoError ? Outcome::Removed : Outcome::Failed;
}

}  // namespace

QStringList SettingsRemover::storeFiles(const QString& application) {
    QStringList files;
    const QString folder =
        g_storeFolder.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : g_storeFolder;
    if (folder.isEmpty() || application.isEmpty()) {
        return files;
    }
    const QString wanted = application + QStringLiteral(".ini");
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            files.append(dir.filePath(name));
        }
    }
    return files;
}

void SettingsRemover::setStoreFolder(const QString& folder) {
    g_storeFolder = folder;
}

bool SettingsRemover::removeSection(const QString& application, const QString& section) {
    if (section.isEmpty()) {
        return false;
    }
#ifdef Q_OS_WIN
    if (g_storeFolder.isEmpty()) {
        // The registry compares names without regard to case itself.
        QSettings settings(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application,
                           QSettings::NativeFormat);
        return removeGroups(settings, section) == Outcome::Removed;
    }
#endif
    bool removed = false;
    bool failed = false;
    const QStringList files = storeFiles(application);
    for (const QString& file : files) {
        QSettings settings(file, QSettings::IniFormat);
        const Outcome outcome = removeGroups(settings, section);
        removed = removed || outcome == Outcome::Removed;
        failed = failed || outcome == Outcome::Failed;
    }
    return removed && !failed;
}

}  // namespace qmclean
