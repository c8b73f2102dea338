#include "installer/extractionrunner.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>

#include "app/busycursor.h"

namespace qm {
namespace {

constexpr int kProgressIntervalMs = 40;

}  // namespace

ExtractionResult runExtraction(QWidget* owner, const QString& archive, const QString& destination) {
    ExtractionProgressSink* sink = dynamic_cast<ExtractionProgressSink*>(owner);
    const BusyCursor busy;
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    ArchiveExtractor extractor(archive, destination);
    extractor.setProgressHandler([&done, &total](qint64 bytes, qint64 expected) {
        done.store(bytes, std::memory_order_relaxed);
        total.store(expected, std::memory_order_relaxed);
    });

    ExtractionResult result;
    std::unique_ptr<QThread> worker(QThread::create([&] { result = extractor.extract(); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer ticker;
    ticker.setInterval(kProgressIntervalMs);
    if (sink) {
        sink->extractionStarted();
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            sink->extractionProgress(done.load(std::memory_order_relaxed),
                                     total.load(std::memory_order_relaxed));
        });
        ticker.start();
    }
    worker->start();
    loop.exec();
    worker->wait();
    ticker.stop();
    if (sink) {
        sink->extractionProgress(done.load(), total.load());
        sink->extractionFinished();
    }
    return result;
}

}  // namespace qm
