#pragma once

#include <QObject>
#include <QTimer>

class QAbstractItemView;

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace qm {

class CatalogueModel;
class RowIcons;

// Gives the catalogue's rows their programs' icons while the program is idle, a few
// milliseconds at a time: the rows on screen at once, the rows shown next, then the others. A
// large catalogue opens without waiting for a look at every program file, and typing is never
// held up by it.
class IconLoader : public QObject {
    Q_OBJECT

public:
    // shownRows gives the rows in the order the list shows them.
    IconLoader(CatalogueModel& model, std::function<std::vector<int>()> shownRows,
               QObject* parent = nullptr);
    ~IconLoader() override;

    // Starts over: the first rows shown get their icons now, the rest while idle.
    void start();
    // These rows (come into view) get theirs next.
    void bringForward(const std::vector<int>& rows);
    // The rows view shows (through a proxy of the model, or the model itself) get theirs next
    // whenever they change: the user scrolled, or the list was filtered or sorted.
    void follow(QAbstractItemView* view);
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

private:
    void step();
    // Loads the icon of a row not loaded yet in this pass.
    void loadRow(int row);
    // Loads the queued rows until the time is up; false when none is left.
    bool loadFor(int milliseconds);
    void restartLater();
    std::vector<int> rowsInView() const;

    CatalogueModel& m_model;
    QAbstractItemView* m_view = nullptr;
    std::function<std::vector<int>()> m_shownRows;
    QTimer m_timer;
    std::unique_ptr<RowIcons> m_icons;
    std::vector<int> m_order;
    size_t m_next = 0;
    std::deque<int> m_forward;
    std::vector<bool> m_done;
    bool m_restart = false;
};

}  // namespace qm
