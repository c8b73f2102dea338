#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace qm {

// Looks in every program folder of a working folder for the mark an unfinished move leaves, a
// slice at a time while the program is idle: a look costs a system call, and a window over
// 100,000 folders must not wait for 100,000 of them before it shows.
class UnfinishedMoveSurvey : public QObject {
    Q_OBJECT

public:
    using Report = std::function<void(const QStringList& marked)>;

    explicit UnfinishedMoveSurvey(QObject* parent = nullptr);

    // Starts over with the folders named in names; report gets the names of the marked ones
    // once all were looked at and no dialog is open (not at all when none is marked).
    void start(const QString& workFolder, const QStringList& names, Report report);
    bool isRunning() const { return m_timer.isActive(); }

private:
    void step();

    QTimer m_timer;
    QString m_workFolder;
    QStringList m_names;
    qsizetype m_next = 0;
    QStringList m_marked;
    Report m_report;
};

}  // namespace qm
