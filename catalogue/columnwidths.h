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

}  // namespace qm

class QTreeView;

namespace qm {

// Rows to measure when the columns are fitted: the rows on screen (first to first + shown - 1)
// and rows spread evenly over the rest, sampleSize at most; each row once, in increasing order.
QList<int> rowsToMeasure(int rowCount, int first, int shown, int sampleSize);

// Keeps the columns of a list as wide as their headers and their widest texts, within the
// list's width. Measuring every row's text costs too much on a large list, so the rows on screen
// and a sample are measured when the list fills, and the columns widen as more rows come into
// view. Once the user sizes a column, the widths are left alone.
class ColumnFitter {
public:
    ColumnFitter(QTreeView* view, int minimumWidth);

    // Applies widths stored by storedWidths(); fits the columns when there are none.
    void restore(const QString& stored);
    // Measures the rows on screen and a sample afresh and fits the columns to them.
    void fit();
    // Widens the columns for the rows now on screen; nothing after the user sized a column.
    void widenForShownRows();
    // Fits again to what was measured, for a new width of the list.
    void refit();
    // The widths to store; "" while the user has not sized a column.
    QString storedWidths() const;

private:
    // Raises the wanted widths to the texts of these rows; true when one grew.
    bool measure(const QList<int>& rows);
    QPair<int, int> shownRows() const;
    int padding() const;
    void apply();

    QTreeView* m_view;
    int m_minimumWidth;
    QList<int> m_wanted;
    bool m_applying = false;
    bool m_userResized = false;
};

}  // namespace qm
