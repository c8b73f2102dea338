#include "platform/portablemode.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qm {
namespace {

QString g_folder;
bool g_bySwitch = false;
bool g_qtSettingsMoved = false;

// Qt keeps settings of its own (the file dialog's recent folders) in the user's configuration
// folder; a portable run keeps them beside the executable, so that the host keeps no trace.
void moveQtSettings(const QString& folder) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

}  // namespace

PortableMode::Outcome PortableMode::start(const QString& executableFolder, bool switchGiven) {
    stop();
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(executableFolder));
    if (!switchGiven && !QFileInfo(folder + u'/' + markerName()).exists()) {
        return Outcome::Off;
    }
    if (!isWritableFolder(folder)) {
        return Outcome::Unwritable;
    }
    g_folder = folder;
    g_bySwitch = switchGiven;
    moveQtSettings(folder);
    g_qtSettingsMoved = true;
    return Outcome::On;
}

void PortableMode::stop() {
    g_folder.clear();
    g_bySwitch = false;
    if (g_qtSettingsMoved) {
        g_qtSettingsMoved = false;
        moveQtSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
}

bool PortableMode::isActive() {
    return !g_folder.isEmpty();
}

QString PortableMode::folder() {
    return g_folder;
}

QString PortableMode::shortcutArguments(const QString& arguments) {
    if (!isActive() || !g_bySwitch) {
        return arguments;
    }
    return switchText() + u' ' + arguments;
}

QString PortableMode::switchText() {
    return QStringLiteral("--portable");
}

QString PortableMode::markerName() {
    return QStringLiteral("portable");
}

bool takePortableSwitch(QStringList& arguments) {
    if (arguments.isEmpty() || arguments.first() != PortableMode::switchText()) {
        return false;
    }
    arguments.removeFirst();
    return true;
}

bool isWritableFolder(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral("/.quillmorn-probe-XXXXXX"));
    return probe.open();
}

}  // namespace qm
