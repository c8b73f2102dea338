#include "catalogue/listcolumns.h"

#include <QHeaderView>
#include <QScopedValueRollback>
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
    if (!m_resized) {
        fit();
    }
}

void ListColumns::fit() {
    // Each column as wide as its header and its widest text (every row counts, not only those
    // in view), within what the list shows without scrolling sideways.
    const QAbstractItemModel* model = m_view->model();
    QHeaderView* header = m_view->header();
    const QStyle* style = m_view->style();
    const QFontMetrics metrics(m_view->font());
    const int padding =
        2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 4;
    QList<int> wanted;
    for (int column = 0; column < model->columnCount(); ++column) {
        const int icon = column == 0 ? m_view->iconSize().width() + padding : 0;
        int widest = header->sectionSizeHint(column);
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->index(row, column).data().toString();
            widest = std::max(widest, metrics.horizontalAdvance(text) + padding + icon);
        }
        wanted.append(widest);
    }
    // Room for the vertical scroll bar only where the rows will need it.
    const int rowsHeight = model->rowCount() * (metrics.height() + padding);
    const int shownHeight = m_view->height() - header->sizeHint().height();
    const int scrollBar = rowsHeight > shownHeight
                              ? style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view)
                              : 0;
    const int available = m_view->width() - 2 * m_view->frameWidth() - scrollBar;
    // No column narrower than a third of an inch (480 twips).
    const int dpi = m_view->logicalDpiX() > 0 ? m_view->logicalDpiX() : 96;
    const QList<int> widths = fitColumnWidths(wanted, available, (480 * dpi + 720) / 1440);
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
