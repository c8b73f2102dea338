#include "platform/launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <algorithm>

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
                *error = QCoreApplication::translate("qm::Launcher",
                                                     "wine がインストールされていません。");
            }
            return false;
        }
        QString folder = workingDirectory;
        const Command startable = startableCommand(command, &folder);
        QProcess process;
        process.setProgram(startable.program);
        process.setArguments(startable.arguments);
        if (!folder.isEmpty()) {
            process.setWorkingDirectory(folder);
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
        const QUrl url = QUrl::fromEncoded(
            "file://" + nameBytesFromText(path).toPercentEncoding("/"), QUrl::StrictMode);
#ifndef Q_OS_WIN
        // Qt only starts the desktop's opener and reports success whatever it then finds; the
        // opener's own answer tells when no file manager took the folder.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (!opener.isEmpty()) {
            return openerSucceeds(opener, url.toString(QUrl::FullyEncoded));
        }
#endif
        return QDesktopServices::openUrl(url);
    }

private:
    // Runs the opener and waits a little for its answer, letting window events run meanwhile.
    // An opener that is still running then (one that waits for the file manager) counts as a
    // success and is left to finish on its own.
    static bool openerSucceeds(const QString& opener, const QString& url) {
        auto* process = new QProcess;
        process->setProgram(opener);
        process->setArguments({url});
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start();
        if (!process->waitForStarted()) {
            delete process;
            return false;
        }
        QEventLoop loop;
        QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kOpenerAnswerMs, &loop, &QEventLoop::quit);
        if (process->state() != QProcess::NotRunning) {
            loop.exec();
        }
        if (process->state() != QProcess::NotRunning) {
            QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
            return true;
        }
        const bool opened =
            process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return opened;
    }

    static constexpr int kOpenerAnswerMs = 3000;
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

namespace {

// A shell assignment of name to text's exact bytes (printf octal escapes; the "x" keeps a trailing
// line break that command substitution would drop).
QString shellAssignment(const QString& name, const QString& text) {
    QString escaped;
    for (const char byte : nameBytesFromText(text)) {
        escaped += QString::asprintf("\\%03o", unsigned(quint8(byte)));
    }
    return name + QStringLiteral("=$(printf '") + escaped + QStringLiteral("x'); ") + name +
           QStringLiteral("=${") + name + QStringLiteral("%x}\n");
}

}  // namespace

Command startableCommand(const Command& command, QString* workingDirectory) {
    const QStringList parts = QStringList{command.program, *workingDirectory} + command.arguments;
    if (std::none_of(parts.begin(), parts.end(), holdsRawBytes)) {
        return command;
    }
    QString script;
    QString words;
    for (int i = 0; i < parts.size(); ++i) {
        if (i == 1) {
            continue;
        }
        const QString name = QStringLiteral("a%1").arg(i);
        script += shellAssignment(name, parts[i]);
        words += QStringLiteral(" \"$") + name + u'"';
    }
    if (!workingDirectory->isEmpty()) {
        script += shellAssignment(QStringLiteral("folder"), *workingDirectory);
        script += QStringLiteral("cd -- \"$folder\" || exit 127\n");
        workingDirectory->clear();
    }
    script += QStringLiteral("exec") + words + u'\n';
    return {QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}};
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
