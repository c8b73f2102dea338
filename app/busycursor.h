#pragma once

#include <QElapsedTimer>

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
    void pump();
    // Lets events run now, whatever the interval.
    static void runPending();

private:
    QElapsedTimer m_timer;
    int m_intervalMs;
};

}  // namespace qm
