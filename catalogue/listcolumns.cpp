#include "catalogue/listcolumns.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

#include "app/preferences.h"
#include "catalogue/columnwidths.h"

namespace qm {
namespace {

const QString kColumnsKey = QStringLiteral("listcolumns");

}  // namespace

ListColumns::ListColumns(QTreeView* view) : QObject(view), m_view(view) {
    connect(view->header(), &QHeaderView::sectionResized, this, [this] {
        if (!m_fitting) {
            m_resized = true;
        }
    });
    // Rows scrolled into view, or shown by another filter or sort, may hold longer texts.
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { widenForShownRows(); });
    connect(view->model(), &QAbstractItemModel::layoutChanged, this,
            [this] { widenForShownRows(); });
}

void ListColumns::restore() {
    const int count = m_view->model()->columnCount();
    const QList<int> widths = parseColumnWidths(readPreference(kColumnsKey), count);
    if (widths.isEmpty()) {
        fit();
        return;
    }
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    for (int column = 0; column < widths.size(); ++column) {
        m_view->header()->resizeSection(column, widths[column]);
    }
    // Widths the user chose stay as they are when the window changes its size.
    m_resized = true;
}

void ListColumns::refit() {
    if (m_resized) {
        return;
    }
    if (m_wanted.isEmpty()) {
        fit();
        return;
    }
    widenForShownRows();
    apply();
}

QPair<int, int> ListColumns::shownRows() const {
    const QModelIndex top = m_view->indexAt(QPoint(1, 1));
    const int rowHeight = std::max(m_view->fontMetrics().height(), 1);
    // Before the list is laid out, as many rows as its height would hold.
    const int shown = std::clamp(m_view->viewport()->height() / rowHeight + 2, 2, 200);
    return {top.isValid() ? top.row() : 0, shown};
}

void ListColumns::fit() {
    QHeaderView* header = m_view->header();
    m_wanted.clear();
    for (int column = 0; column < header->count(); ++column) {
        m_wanted.append(header->sectionSizeHint(column));
    }
    const auto [first, shown] = shownRows();
    // Enough rows that a long text in a large list is likely among them.
    constexpr int kSample = 256;
    measure(rowsToMeasure(m_view->model()->rowCount(), first, shown, shown + kSample));
    apply();
}

void ListColumns::widenForShownRows() {
    if (m_resized || m_wanted.isEmpty()) {
        return;
    }
    const auto [first, shown] = shownRows();
    if (measure(rowsToMeasure(m_view->model()->rowCount(), first, shown, 0))) {
        apply();
    }
}

int ListColumns::padding() const {
    return 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) +
           4;
}

bool ListColumns::measure(const QList<int>& rows) {
    const QAbstractItemModel* model = m_view->model();
    const QFontMetrics metrics(m_view->font());
    bool grew = false;
    for (int column = 0; column < m_wanted.size(); ++column) {
        const int icon = column == 0 ? m_view->iconSize().width() + padding() : 0;
        for (const int row : rows) {
            const QString text = model->index(row, column).data().toString();
            const int width = metrics.horizontalAdvance(text) + padding() + icon;
            if (width > m_wanted[column]) {
                m_wanted[column] = width;
                grew = true;
            }
        }
    }
    return grew;
}

void ListColumns::apply() {
    const QStyle* style = m_view->style();
    QHeaderView* header = m_view->header();
    // Room for the vertical scroll bar only where the rows will need it.
    const int rowsHeight =
        m_view->model()->rowCount() * (m_view->fontMetrics().height() + padding());
    const int shownHeight = m_view->height() - header->sizeHint().height();
    const int scrollBar = rowsHeight > shownHeight
                              ? style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view)
                              : 0;
    const int available = m_view->width() - 2 * m_view->frameWidth() - scrollBar;
    // No column narrower than a third of an inch (480 twips).
    const int dpi = m_view->logicalDpiX() > 0 ? m_view->logicalDpiX() : 96;
    const QList<int> widths = fitColumnWidths(m_wanted, available, (480 * dpi + 720) / 1440);
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    for (int column = 0; column < widths.size(); ++column) {
        header->resizeSection(column, widths[column]);
    }
}

void ListColumns::store() const {
    if (!m_resized) {
        return;
    }
    QList<int> widths;
    for (int column = 0; column < m_view->model()->columnCount(); ++column) {
        widths.append(m_view->header()->sectionSize(column));
    }
    writePreference(kColumnsKey, columnWidthsText(widths));
}

}  // namespace qm
