// Figures of the catalogue: building the list of a large working folder.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>

#include "app/form.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "bench/benchmark.h"
#include "catalogue/cataloguewindows.h"

namespace {

// Where the records' program files would be.
enum class Programs {
    InMissingFolders,          // each in a folder of its own that does not exist
    MissingFromOneFullFolder,  // all in one existing folder that holds as many other files
};

// A working folder of `count` program folders below root, each with a record in the list file
// whose program file does not exist; points the program state at it.
void makeCatalogue(const QTemporaryDir& root, int count, Programs programs) {
    const QString work = root.path() + "/work";
    const QString list = root.path() + "/list";
    const QString bin = root.path() + "/bin";
    QDir().mkpath(list);
    QDir().mkpath(bin);
    QByteArray records;
    for (int i = 0; i < count; ++i) {
        const QString folder = QStringLiteral("prog%1").arg(i, 5, 10, QLatin1Char('0'));
        QDir().mkpath(work + u'/' + folder);
        QString exe = QStringLiteral("/nowhere/%1/run.exe").arg(folder);
        if (programs == Programs::MissingFromOneFullFolder) {
            QFile other(bin + QStringLiteral("/other%1.dat").arg(i));
            if (!other.open(QIODevice::WriteOnly)) {
                qFatal("cannot write a file");
            }
            exe = bin + QStringLiteral("/Run%1.exe").arg(folder);
        }
        records += QStringLiteral("1,Program %1,%2,分類%3,%4,説明 %1\r\n")
                       .arg(i)
                       .arg(folder)
                       .arg(i % 20)
                       .arg(exe)
                       .toUtf8();
    }
    QFile file(list + "/index.qmx");
    if (!file.open(QIODevice::WriteOnly) || file.write(records) != records.size()) {
        qFatal("cannot write the list file");
    }
    file.close();
    qm::registerCatalogueWindows();
    qm::state().reset();
    qm::state().workFolder = work;
    qm::state().listFolder = list;
}

void closeAll() {
    qm::WindowRegistry::instance().destroyAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Measures opening the catalogue (scan, merge, icon refresh, columns).
double catalogueLoad(int count, Programs programs, int runs = 5) {
    QTemporaryDir root;
    makeCatalogue(root, count, programs);
    const qm::ProgramState start = qm::state();
    return qm::bench::medianSeconds(runs, [&] {
        qm::state() = start;
        qm::WindowRegistry::instance().window(qm::WindowKind::Catalogue);
        closeAll();
    });
}

// The slowest key of typing a filter text into the open catalogue, each key with the list's
// update and the events it causes. The typing starts after readingMs of the window being shown
// (a person looks at a window before typing into it), which the program may use while idle.
double filterKey(int count, int readingMs) {
    QTemporaryDir root;
    makeCatalogue(root, count, Programs::InMissingFolders);
    qm::Form* window = qm::WindowRegistry::instance().show(qm::WindowKind::Catalogue);
    QCoreApplication::processEvents();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < readingMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    auto* box = window->findChild<QLineEdit*>(QStringLiteral("filterBox"));
    if (!box) {
        closeAll();
        return -1;
    }
    double slowest = 0;
    for (const char* text : {"p", "pr", "pro", "prog", "prog0", "prog01", "prog012", "分", "分類",
                             "分類1", "ｐｒｏｇ"}) {
        QElapsedTimer timer;
        timer.start();
        box->setText(QString(text));
        QCoreApplication::processEvents();
        slowest = std::max(slowest, timer.nsecsElapsed() / 1e9);
    }
    closeAll();
    return slowest;
}

}  // namespace

QM_FIGURE("catalogue_load_1000", [] { return catalogueLoad(1000, Programs::InMissingFolders); });
QM_FIGURE("catalogue_load_10000", [] { return catalogueLoad(10000, Programs::InMissingFolders); });
QM_FIGURE("catalogue_load_10000_missing",
          [] { return catalogueLoad(10000, Programs::MissingFromOneFullFolder); });
QM_FIGURE("catalogue_load_100000",
          [] { return catalogueLoad(100000, Programs::InMissingFolders, 3); });
QM_FIGURE("catalogue_filter_key_100000", [] { return filterKey(100000, 1000); });
// Typing the very moment the window is shown: the first key folds what idle time did not.
QM_FIGURE("catalogue_filter_key_at_once_100000", [] { return filterKey(100000, 0); });
