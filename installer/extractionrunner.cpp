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
    std::atomic<qint64> entries{0};
    std::atomic<qint64> bytes{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancel{false};
    ArchiveExtractor extractor(archive, destination);
    extractor.setCancelFlag(&cancel);
    extractor.setProgressHandler([&](const ExtractionProgress& progress) {
        entries.store(progress.entries, std::memory_order_relaxed);
        bytes.store(progress.bytes, std::memory_order_relaxed);
        total.store(progress.totalBytes, std::memory_order_relaxed);
    });
    const auto current = [&] {
        return ExtractionProgress{entries.load(std::memory_order_relaxed),
                                  bytes.load(std::memory_order_relaxed),
                                  total.load(std::memory_order_relaxed)};
    };
    std::function<void()> tick;
    if (sink) {
        sink->extractionStarted();
        tick = [&] {
            sink->extractionProgress(current());
            if (sink->extractionCancelRequested()) {
                cancel.store(true, std::memory_order_relaxed);
            }
        };
    }
    ExtractionResult result;
    runWhileResponsive([&] { result = extractor.extract(); }, tick);
    if (sink) {
        sink->extractionProgress(current());
        sink->extractionFinished();
    }
    return result;
}

}  // namespace qm
