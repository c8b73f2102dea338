#include "catalogue/iconloader.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QElapsedTimer>
#include <QScrollBar>

#include "app/helpers.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/cataloguemodel.h"

namespace qm {
namespace {

// The rows a list can show at once: they get their icons before the window shows.
constexpr size_t kOnScreen = 100;
// One idle slice, short enough not to delay a key.
constexpr int kSliceMs = 8;

}  // namespace

IconLoader::IconLoader(CatalogueModel& model, std::function<std::vector<int>()> shownRows,
                       QObject* parent)
    : QObject(parent), m_model(model), m_shownRows(std::move(shownRows)) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &IconLoader::step);
    // Rows added or removed meanwhile renumber the rest: the pass starts over (icons found
    // already are found again at once).
    connect(&model, &QAbstractItemModel::rowsInserted, this, &IconLoader::restartLater);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &IconLoader::restartLater);
    connect(&model, &QAbstractItemModel::modelReset, this, &IconLoader::restartLater);
}

IconLoader::~IconLoader() = default;

void IconLoader::start() {
    m_restart = false;
    m_icons = std::make_unique<RowIcons>(m_model);
    m_order = rowsInOrder(m_model.rowCount(), m_shownRows());
    m_next = 0;
    m_forward.clear();
    m_done.assign(m_order.size(), false);
    {
        const FileLookupCache lookups;
        while (m_next < std::min(kOnScreen, m_order.size())) {
            loadRow(m_order[m_next++]);
        }
    }
    if (m_next < m_order.size()) {
        m_timer.start();
    } else {
        stop();
    }
}

void IconLoader::bringForward(const std::vector<int>& rows) {
    if (isRunning()) {
        m_forward.insert(m_forward.end(), rows.begin(), rows.end());
    }
}

void IconLoader::follow(QAbstractItemView* view) {
    m_view = view;
    const auto moved = [this] { bringForward(rowsInView()); };
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, moved);
    if (QAbstractItemModel* shown = view->model(); shown && shown != &m_model) {
        connect(shown, &QAbstractItemModel::layoutChanged, this, moved);
        connect(shown, &QAbstractItemModel::modelReset, this, moved);
        connect(shown, &QAbstractItemModel::rowsInserted, this, moved);
    }
}

std::vector<int> IconLoader::rowsInView() const {
    std::vector<int> rows;
    if (!m_view || !isRunning()) {
        return rows;
    }
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(m_view->model());
    const int bottom = m_view->viewport()->height();
    for (QModelIndex index = m_view->indexAt(QPoint(0, 0));
         index.isValid() && m_view->visualRect(index).top() < bottom;
         index = index.siblingAtRow(index.row() + 1)) {
        rows.push_back(proxy ? proxy->mapToSource(index).row() : index.row());
    }
    return rows;
}

void IconLoader::stop() {
    m_timer.stop();
    m_icons.reset();
    m_order.clear();
    m_forward.clear();
    m_done.clear();
}

void IconLoader::restartLater() {
    if (isRunning()) {
        m_restart = true;
    }
}

void IconLoader::loadRow(int row) {
    if (row >= 0 && size_t(row) < m_done.size() && !m_done[row]) {
        m_done[row] = true;
        m_icons->load(row);
    }
}

void IconLoader::step() {
    if (m_restart) {
        start();
        return;
    }
    if (!loadFor(kSliceMs)) {
        stop();
    }
}

bool IconLoader::loadFor(int milliseconds) {
    // Folder listings are shared within a slice only: a program file copied in between is seen.
    const FileLookupCache lookups;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        if (!m_forward.empty()) {
            const int row = m_forward.front();
            m_forward.pop_front();
            loadRow(row);
        } else if (m_next < m_order.size()) {
            loadRow(m_order[m_next++]);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace qm
