#include "platform/launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/pathbytes.h"

namespace qm {
namespace {

class ProcessLauncher final : public Launcher {
public:
    bool start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory, QString* error) override {
        const Command command = commandFor(program, arguments);
        if (command.program.isEmpty()) {
            if (error) {
                *error = QStringLiteral("wine is not installed");
            }
            return false;
        }
        QProcess process;
        process.setProgram(command.program);
        process.setArguments(command.arguments);
        if (!workingDirectory.isEmpty()) {
            process.setWorkingDirectory(workingDirectory);
        }
        qint64 pid = 0;
        if (!process.startDetached(&pid)) {
            if (error) {
                *error = process.errorString();
            }
            return false;
        }
        return true;
    }

    bool openFolder(const QString& path) override {
        // From the name's bytes, so that a folder whose name is not text is the one opened.
        return QDesktopServices::openUrl(QUrl::fromEncoded(
            "file://" + nameBytesFromText(path).toPercentEncoding("/"), QUrl::StrictMode));
    }
};

ProcessLauncher& processLauncher() {
    static ProcessLauncher launcher;
    return launcher;
}

Launcher* g_launcher = nullptr;

}  // namespace

Launcher& Launcher::instance() {
    return g_launcher ? *g_launcher : processLauncher();
}

void Launcher::setInstance(Launcher* launcher) {
    g_launcher = launcher;
}

Command commandFor(const QString& target, const QStringList& arguments) {
#ifdef Q_OS_WIN
    return {target, arguments};
#else
    if (target.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            return {};
        }
        return {wine, QStringList{target} + arguments};
    }
    return {target, arguments};
#endif
}

}  // namespace qm
