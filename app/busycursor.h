#pragma once

#include <QElapsedTimer>

#include <functional>

namespace qm {

// Shows the wait cursor for the lifetime of the object; always restored.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Lets pending window events run during a long loop, but only every few milliseconds so that
// the loop's own work dominates.
class EventPump {
public:
    explicit EventPump(int intervalMs = 15);
    // Called with the number of items done so far (one per pump()) each time events run.
    void setProgress(std::function<void(qint64 done)> progress) {
        m_progress = std::move(progress);
    }
    // One item of the loop is done.
    void pump();
    // Lets events run now, whatever the interval.
    static void runPending();

private:
    QElapsedTimer m_timer;
    int m_intervalMs;
    qint64 m_done = 0;
    std::function<void(qint64)> m_progress;
};

}  // namespace qm
