#include "catalogue/columnwidths.h"

#include <QStringList>

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

}  // namespace qm
