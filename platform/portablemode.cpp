#include "platform/portablemode.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace qm {
namespace {

QString g_folder;
bool g_bySwitch = false;

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
    return Outcome::On;
}

void PortableMode::stop() {
    g_folder.clear();
    g_bySwitch = false;
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
