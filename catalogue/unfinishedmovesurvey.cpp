#include "catalogue/unfinishedmovesurvey.h"

#include <QApplication>

#include "platform/fileoperation.h"
#include "platform/filesystem.h"

namespace qm {
namespace {

// Folders looked at per slice: a few milliseconds, short enough not to delay a key.
constexpr qsizetype kSlice = 1000;
// How long the report waits for an open dialog to close before it looks again.
constexpr int kDialogWaitMs = 250;

}  // namespace

UnfinishedMoveSurvey::UnfinishedMoveSurvey(QObject* parent) : QObject(parent) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &UnfinishedMoveSurvey::step);
}

void UnfinishedMoveSurvey::start(const QString& workFolder, const QStringList& names,
                                 Report report) {
    m_workFolder = workFolder;
    m_names = names;
    m_next = 0;
    m_marked.clear();
    m_report = std::move(report);
    m_timer.setInterval(0);
    m_timer.start();
}

void UnfinishedMoveSurvey::step() {
    if (m_next < m_names.size()) {
        const qsizetype count = std::min(kSlice, m_names.size() - m_next);
        m_marked += fileSystem().namesHolding(m_workFolder, m_names.mid(m_next, count),
                                              QLatin1String(kUnfinishedMoveMark));
        m_next += count;
        return;
    }
    // A report over a dialog the user is busy with would take its place.
    if (QApplication::activeModalWidget()) {
        m_timer.setInterval(kDialogWaitMs);
        return;
    }
    m_timer.stop();
    m_names.clear();
    if (!m_marked.isEmpty() && m_report) {
        m_report(m_marked);
    }
}

}  // namespace qm
