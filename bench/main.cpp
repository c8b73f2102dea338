// qmorn-bench [NAME...]: measures the program's figures and prints "NAME VALUE s" per line.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "app/endprogram.h"
#include "bench/benchmark.h"
#include "platform/prompt.h"
#include "platform/timezone.h"
#include "platform/utf8locale.h"

namespace qm::bench {

std::vector<Figure>& figures() {
    static std::vector<Figure> all;
    return all;
}

double medianSeconds(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        times.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace qm::bench

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qm::readTimeZoneOnce();
    QApplication app(argc, argv);
    qm::ensureUtf8Locale();
    QApplication::setQuitOnLastWindowClosed(false);
    // Keep the user's own data out of it: every figure works below a temporary home.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
    qm::setEndProgramHandler([] {});

    QStringList wanted = QApplication::arguments().mid(1);
    for (const auto& figure : qm::bench::figures()) {
        if (!wanted.isEmpty() && !wanted.contains(figure.name)) {
            continue;
        }
        const double seconds = figure.measure();
        std::printf("%s %.4f s\n", qPrintable(figure.name), seconds);
        std::fflush(stdout);
    }
    return 0;
}
