#include "catalogue/columnwidths.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QTreeView>

#include <algorithm>
#include <numeric>

namespace qm {

QList<int> fitColumnWidths(const QList<int>& wanted, int available, int minimum) {
    QList<int> widths;
    for (const int width : wanted) {
        widths.append(std::max(width, minimum));
    }
    if (std::accumulate(widths.begin(), widths.end(), 0) <= available || widths.isEmpty()) {
        return widths;
    }
    // Water filling: going from the narrowest up, a column that wants no more than its fair part
    // of what is left keeps its width; the rest share what remains equally.
    QList<int> sorted = widths;
    std::sort(sorted.begin(), sorted.end());
    int remaining = available;
    int cap = minimum;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const int fair = remaining / int(sorted.size() - i);
        if (sorted[i] > fair) {
            cap = std::max(fair, minimum);
            break;
        }
        remaining -= sorted[i];
    }
    for (int& width : widths) {
        width = std::min(width, cap);
    }
    return widths;
}

QString columnWidthsText(const QList<int>& widths) {
    QStringList parts;
    for (const int width : widths) {
        parts.append(QString::number(width));
    }
    return parts.join(u',');
}

QList<int> parseColumnWidths(const QString& text, int count) {
    const QStringList parts = text.split(u',');
    if (parts.size() != count) {
        return {};
    }
    QList<int> widths;
    for (const QString& part : parts) {
        bool ok = false;
        const int width = part.trimmed().toInt(&ok);
        if (!ok || width <= 0 || width > 10000) {
            return {};
        }
        widths.append(width);
    }
    return widths;
}

QList<int> rowsToMeasure(int rowCount, int first, int shown, int sampleSize) {
    QList<int> rows;
    first = std::clamp(first, 0, std::max(rowCount - 1, 0));
    const int last = std::min(rowCount, first + std::max(shown, 0));
    const int spread = std::max(sampleSize - (last - first), 0);
    // One row in every step outside the rows on screen.
    const int step = spread > 0 ? std::max(rowCount / spread, 1) : rowCount + 1;
    for (int row = spread > 0 ? 0 : rowCount; row < rowCount; row += step) {
        if (row < first) {
            rows.append(row);
        } else {
            break;
        }
    }
    for (int row = first; row < last; ++row) {
        rows.append(row);
    }
    for (int row = (last + step - 1) / step * step; row < rowCount; row += step) {
        if (row >= last) {
            rows.append(row);
        }
    }
    return rows;
}

ColumnFitter::ColumnFitter(QTreeView* view, int minimumWidth)
    : m_view(view), m_minimumWidth(minimumWidth) {
    QObject::connect(view->header(), &QHeaderView::sectionResized, view, [this] {
        if (!m_applying) {
            m_userResized = true;
        }
    });
    const auto widen = [this] { widenForShownRows(); };
    QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, view, widen);
}

void ColumnFitter::restore(const QString& stored) {
    const QList<int> widths = parseColumnWidths(stored, m_view->model()->columnCount());
    if (widths.isEmpty()) {
        fit();
        return;
    }
    const QScopedValueRollback<bool> applying(m_applying, true);
    for (int column = 0; column < widths.size(); ++column) {
        m_view->header()->resizeSection(column, widths[column]);
    }
    // Widths the user chose stay as they are when the window changes its size.
    m_userResized = true;
}

QPair<int, int> ColumnFitter::shownRows() const {
    const QModelIndex top = m_view->indexAt(QPoint(1, 1));
    const int rowHeight = std::max(m_view->fontMetrics().height(), 1);
    // Before the list is laid out, as many rows as a tall window shows.
    const int shown = std::clamp(m_view->viewport()->height() / rowHeight + 2, 2, 200);
    return {top.isValid() ? top.row() : 0, shown};
}

void ColumnFitter::fit() {
    QHeaderView* header = m_view->header();
    m_wanted.clear();
    for (int column = 0; column < header->count(); ++column) {
        m_wanted.append(header->sectionSizeHint(column));
    }
    const auto [first, shown] = shownRows();
    // Enough rows that a long text somewhere in a big list is likely among them.
    constexpr int kSample = 256;
    measure(rowsToMeasure(m_view->model()->rowCount(), first, shown, shown + kSample));
    apply();
}

void ColumnFitter::widenForShownRows() {
    if (m_userResized || m_wanted.isEmpty()) {
        return;
    }
    const auto [first, shown] = shownRows();
    QList<int> rows;
    for (int row = first; row < std::min(first + shown, m_view->model()->rowCount()); ++row) {
        rows.append(row);
    }
    if (measure(rows)) {
        apply();
    }
}

void ColumnFitter::refit() {
    if (m_userResized) {
        return;
    }
    if (m_wanted.isEmpty()) {
        fit();
        return;
    }
    widenForShownRows();
    apply();
}

int ColumnFitter::padding() const {
    return 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) +
           4;
}

bool ColumnFitter::measure(const QList<int>& rows) {
    const QAbstractItemModel* model = m_view->model();
    const QFontMetrics metrics(m_view->font());
    const int padding = this->padding();
    bool grew = false;
    for (int column = 0; column < m_wanted.size(); ++column) {
        const int icon = column == 0 ? m_view->iconSize().width() + padding : 0;
        for (const int row : rows) {
            const QString text = model->index(row, column).data().toString();
            const int width = metrics.horizontalAdvance(text) + padding + icon;
            if (width > m_wanted[column]) {
                m_wanted[column] = width;
                grew = true;
            }
        }
    }
    return grew;
}

void ColumnFitter::apply() {
    QHeaderView* header = m_view->header();
    // Room for the vertical scroll bar only where the rows will need it.
    const int rowsHeight =
        m_view->model()->rowCount() * (m_view->fontMetrics().height() + padding());
    const int shownHeight = m_view->height() - header->sizeHint().height();
    const int scrollBar =
        rowsHeight > shownHeight
            ? m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view)
            : 0;
    const int available = m_view->width() - 2 * m_view->frameWidth() - scrollBar;
    const QList<int> widths = fitColumnWidths(m_wanted, available, m_minimumWidth);
    const QScopedValueRollback<bool> applying(m_applying, true);
    for (int column = 0; column < widths.size(); ++column) {
        header->resizeSection(column, widths[column]);
    }
}

QString ColumnFitter::storedWidths() const {
    if (!m_userResized) {
        return QString();
    }
    QList<int> widths;
    for (int column = 0; column < m_view->header()->count(); ++column) {
        widths.append(m_view->header()->sectionSize(column));
    }
    return columnWidthsText(widths);
}

}  // namespace qm
