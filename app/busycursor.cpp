#include "app/busycursor.h"

#include <QApplication>

namespace qm {

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
}

EventPump::EventPump(int intervalMs) : m_intervalMs(intervalMs) {
    m_timer.start();
}

void EventPump::pump() {
    ++m_done;
    if (m_timer.elapsed() >= m_intervalMs) {
        if (m_progress) {
            m_progress(m_done);
        }
        runPending();
        m_timer.restart();
    }
}

void EventPump::runPending() {
    QCoreApplication::processEvents();
}

}  // namespace qm
