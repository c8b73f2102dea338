// Figures of the catalogue: building the list of a large working folder.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

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

// A working folder of `count` program folders, each with a record in the list file whose
// program file does not exist; measures opening the catalogue (scan, merge, icon refresh).
double catalogueLoad(int count, Programs programs) {
    QTemporaryDir root;
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
    auto& registry = qm::WindowRegistry::instance();
    return qm::bench::medianSeconds(5, [&] {
        qm::state().reset();
        qm::state().workFolder = work;
        qm::state().listFolder = list;
        registry.window(qm::WindowKind::Catalogue);
        registry.destroyAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

}  // namespace

QM_FIGURE("catalogue_load_1000", [] { return catalogueLoad(1000, Programs::InMissingFolders); });
QM_FIGURE("catalogue_load_10000", [] { return catalogueLoad(10000, Programs::InMissingFolders); });
QM_FIGURE("catalogue_load_10000_missing",
          [] { return catalogueLoad(10000, Programs::MissingFromOneFullFolder); });
