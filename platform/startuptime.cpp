#include "platform/startuptime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace qm {
namespace {

// Seconds between boot and the start of this process, from field 22 of /proc/self/stat; -1
// when it cannot be read.
double processStartSinceBoot() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = stat.readAll();
    // The command name in brackets may hold spaces: fields are counted after its end.
    const qsizetype end = text.lastIndexOf(')');
    const QList<QByteArray> fields = text.mid(end + 2).split(' ');
    // Field 3 (the state) is the first after the name; the start time is field 22.
    bool ok = false;
    const qulonglong ticks = fields.value(22 - 3).toULongLong(&ok);
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    return ok && perSecond > 0 ? double(ticks) / double(perSecond) : -1;
}

}  // namespace

double millisecondsSinceProcessStart() {
    static QElapsedTimer sinceFirstCall;
    if (!sinceFirstCall.isValid()) {
        sinceFirstCall.start();
    }
    const double start = processStartSinceBoot();
    timespec now{};
    if (start < 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return sinceFirstCall.nsecsElapsed() / 1e6;
    }
    return (double(now.tv_sec) + now.tv_nsec / 1e9 - start) * 1000.0;
}

void reportStartupTimeWhenAsked() {
    if (!qEnvironmentVariableIsSet("QUILLMORN_STARTUP_TIME")) {
        return;
    }
    QTimer::singleShot(0, [] {
        std::fprintf(stderr, "startup %.1f ms\n", millisecondsSinceProcessStart());
        std::fflush(stderr);
        QCoreApplication::exit(0);
    });
}

}  // namespace qm
