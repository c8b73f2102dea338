// Start-up figures: the time from starting qmorn to its first window on screen, as the program
// itself measures it (QUILLMORN_STARTUP_TIME), for the main menu and a catalogue of 1,000.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include "bench/benchmark.h"

namespace {

QString programPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../qmorn");
}

// The median of the program's own figures over five starts, in seconds.
double startTime(const QStringList& arguments, const QString& home) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILLMORN_STARTUP_TIME"), QStringLiteral("1"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + "/.config");
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + "/.local/share");
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + "/run");
        process.setProcessEnvironment(environment);
        process.start(programPath(), arguments);
        if (!process.waitForFinished(60000)) {
            qFatal("%s did not finish its start", qPrintable(programPath()));
        }
        const QByteArray line = process.readAllStandardError().trimmed().split('\n').last();
        if (!line.startsWith("startup ")) {
            qFatal("qmorn printed no start time: %s", line.constData());
        }
        times.push_back(line.mid(8).split(' ').first().toDouble() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

QM_FIGURE("start_main_menu", [] {
    QTemporaryDir home;
    QDir().mkpath(home.path() + "/run");
    QFile::setPermissions(home.path() + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return startTime({}, home.path());
});

QM_FIGURE("start_catalogue_1000", [] {
    QTemporaryDir home;
    QDir().mkpath(home.path() + "/run");
    QFile::setPermissions(home.path() + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString work = home.path() + "/Programs";
    const QString list = home.path() + "/.local/share/quillmorn/Programs";
    QDir().mkpath(list);
    QByteArray records;
    for (int i = 0; i < 1000; ++i) {
        const QString folder = QStringLiteral("prog%1").arg(i, 4, 10, QLatin1Char('0'));
        QDir().mkpath(work + u'/' + folder);
        records += QStringLiteral("1,Program %1,%2,分類%3,/nowhere/%2/run.exe,説明 %1\r\n")
                       .arg(i)
                       .arg(folder)
                       .arg(i % 20)
                       .toUtf8();
    }
    QFile file(list + "/index.qmx");
    QFile settings(list + "/settings.dat");
    if (!file.open(QIODevice::WriteOnly) || file.write(records) != records.size() ||
        !settings.open(QIODevice::WriteOnly) || settings.write((work + "\r\n").toUtf8()) < 0) {
        qFatal("cannot write the list folder");
    }
    file.close();
    settings.close();
    return startTime({QStringLiteral("-l"), work}, home.path());
});
