#pragma once

#include <QList>
#include <QString>

namespace qm {

// Widths for columns that want the given widths in a list of the given width: when they do not
// all fit, the widest ones are cut to one common width so that they fill it exactly, and the
// narrow ones keep theirs. No column gets less than minimum.
QList<int> fitColumnWidths(const QList<int>& wanted, int available, int minimum);

// Column widths as stored in the preferences ("120,80,64,240,200") and back; an empty list when
// the text does not hold count positive widths.
QString columnWidthsText(const QList<int>& widths);
QList<int> parseColumnWidths(const QString& text, int count);

// Rows to measure when the columns are fitted: the rows on screen (first to first + shown - 1)
// and rows spread evenly over the rest, sampleSize at most; each row once, in increasing order.
QList<int> rowsToMeasure(int rowCount, int first, int shown, int sampleSize);

}  // namespace qm
