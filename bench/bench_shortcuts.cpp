// The link rebuild of 1,000 registered programs against writing the same 1,000 shortcut files in
// a plain loop.

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include "app/helpers.h"
#include "bench/benchmark.h"
#include "catalogue/listfile.h"
#include "shortcuts/linktree.h"
#include "shortcuts/shortcutwriter.h"

namespace {

constexpr int kPrograms = 1000;
constexpr int kCategories = 20;
constexpr int kRuns = 7;

struct Bench {
    QTemporaryDir dir;
    QString listFolder;
    QString workFolder;
    QList<qm::CatalogueEntry> records;

    Bench() {
        workFolder = dir.path() + QStringLiteral("/work folder");
        listFolder = dir.path() + QStringLiteral("/list");
        QDir().mkpath(workFolder);
        QDir().mkpath(listFolder);
        for (int i = 0; i < kPrograms; ++i) {
            qm::CatalogueEntry entry;
            entry.state = 1;
            entry.name = QStringLiteral("プログラム %1").arg(i);
            entry.category = i % kCategories == 0 ? qm::uncategorised()
                                                  : QStringLiteral("分類 %1").arg(i % kCategories);
            entry.folder = workFolder + QStringLiteral("/program %1").arg(i);
            entry.exe = entry.folder + QStringLiteral("/program.exe");
            records << entry;
        }
        qm::saveListFile(listFolder + QStringLiteral("/index.qmx"), records);
    }

    void rebuild() {
        qm::LinkTreeBuilder builder(listFolder, workFolder);
        builder.rebuild();
    }

    void removeShortcuts() {
        QDirIterator it(listFolder, {QStringLiteral("*") + qm::shortcutExtension()}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile::remove(it.next());
        }
    }

    void plainLoop() {
        for (const qm::CatalogueEntry& entry : std::as_const(records)) {
            const QString folder = entry.category == qm::uncategorised()
                                       ? listFolder
                                       : qm::joinPath(listFolder, entry.category);
            qm::writeShortcut(qm::joinPath(folder, entry.name + qm::shortcutExtension()), entry.exe,
                              QString(), qm::parentFolder(entry.exe));
        }
    }
};

Bench& bench() {
    static Bench instance;
    return instance;
}

}  // namespace

QM_FIGURE("link_rebuild_1000", [] {
    bench().rebuild();  // an earlier tree is there to clear, as in use
    return qm::bench::medianSeconds(kRuns, [] { bench().rebuild(); });
});

// The same files written into the emptied category folders, so that only the writing counts.
QM_FIGURE("link_baseline_1000", [] {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        bench().rebuild();
        bench().removeShortcuts();
        QElapsedTimer timer;
        timer.start();
        bench().plainLoop();
        times.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
});
