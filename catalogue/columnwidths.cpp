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

}  // namespace qm
