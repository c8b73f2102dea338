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

void runWhileResponsive(const std::function<void()>& work, const std::function<void()>& tick) {
    const BusyCursor busy;
    std::unique_ptr<QThread> worker(QThread::create(work));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer ticker;
    ticker.setInterval(kProgressIntervalMs);
    if (tick) {
        QObject::connect(&ticker, &QTimer::timeout, tick);
        ticker.start();
    }
    worker->start();
    loop.exec();
    worker->wait();
    ticker.stop();
}

ExtractionResult runExtraction(QWidget* owner, const QString& archive, const QString& destination) {
    ExtractionProgressSink* sink = dynamic_cast<ExtractionProgressSink*>(owner);
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    ArchiveExtractor extractor(archive, destination);
    extractor.setProgressHandler([&done, &total](qint64 bytes, qint64 expected) {
        done.store(bytes, std::memory_order_relaxed);
        total.store(expected, std::memory_order_relaxed);
    });
    std::function<void()> tick;
    if (sink) {
        sink->extractionStarted();
        tick = [&] {
            sink->extractionProgress(done.load(std::memory_order_relaxed),
                                     total.load(std::memory_order_relaxed));
        };
    }
    ExtractionResult result;
    runWhileResponsive([&] { result = extractor.extract(); }, tick);
    if (sink) {
        sink->extractionProgress(done.load(), total.load());
        sink->extractionFinished();
    }
    return result;
}

}  // namespace qm
