#include "platform/settingsstore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

#include "platform/portablemode.h"

namespace qm {
namespace {

std::unique_ptr<QSettings> open(const QString& application) {
    if (PortableMode::isActive()) {
        return std::make_unique<QSettings>(
            PortableMode::folder() + u'/' + application.toLower() + u".ini", QSettings::IniFormat);
    }
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application, QSettings::NativeFormat);
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + u'/' + application.toLower() + u".ini",
                                       QSettings::IniFormat);
#endif
}

// The stored group whose name equals section without regard to case, or section lower-cased.
QString groupName(QSettings& settings, const QString& section) {
    const QStringList groups = settings.childGroups();
    for (const QString& group : groups) {
        if (group.compare(section, Qt::CaseInsensitive) == 0) {
            return group;
        }
    }
    return section.toLower();
}

QString keyName(QSettings& settings, const QString& key) {
    const QStringList keys = settings.childKeys();
    for (const QString& k : keys) {
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            return k;
        }
    }
    return key.toLower();
}

}  // namespace

QString SettingsStore::read(const QString& application, const QString& section, const QString& key,
                            const QString& defaultValue) {
    auto settings = open(application);
    settings->beginGroup(groupName(*settings, section));
    const QString name = keyName(*settings, key);
    if (!settings->contains(name)) {
        return defaultValue;
    }
    return settings->value(name).toString();
}

bool SettingsStore::write(const QString& application, const QString& section, const QString& key,
                          const QString& value) {
    auto settings = open(application);
    settings->beginGroup(groupName(*settings, section));
    settings->setValue(keyName(*settings, key), value);
    settings->endGroup();
    settings->sync();
    return settings->status() == QSettings::NoError;
}

QString SettingsStore::location(const QString& application) {
    return QDir::toNativeSeparators(open(application)->fileName());
}

bool SettingsStore::hasSection(const QString& application, const QString& section) {
    auto settings = open(application);
    const QStringList groups = settings->childGroups();
    for (const QString& group : groups) {
        if (group.compare(section, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool SettingsStore::deleteSection(const QString& application, const QString& section) {
    auto settings = open(application);
    bool found = false;
    const QStringList groups = settings->childGroups();
    for (const QString& group : groups) {
        if (group.compare(section, Qt::CaseInsensitive) == 0) {
            settings->remove(group);
            found = true;
        }
    }
    settings->sync();
    return found && settings->status() == QSettings::NoError;
}

}  // namespace qm
