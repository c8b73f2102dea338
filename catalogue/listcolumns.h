#pragma once

#include <QObject>

class QTreeView;

namespace qm {

// The widths of the catalogue list's columns: fitted to their texts until the user resizes one,
// then kept as the user left them, across openings too. Measuring every row's texts costs too
// much in a large list: the rows on screen and a sample of the others are measured when the
// columns are fitted, and the columns widen for longer texts as their rows come into view.
class ListColumns : public QObject {
public:
    explicit ListColumns(QTreeView* view);

    // The widths stored at the last closing, else fitted.
    void restore();
    // Fits the columns again unless the user has resized one.
    void refit();
    // Stores the widths when the user chose them.
    void store() const;

private:
    // Measures the rows on screen and a sample afresh and fits the columns to them.
    void fit();
    // Widens the columns for the rows on screen.
    void widenForShownRows();
    // Raises the wanted widths to the texts of these rows; true when one grew.
    bool measure(const QList<int>& rows);
    // The first row on screen and how many rows the list shows.
    QPair<int, int> shownRows() const;
    int padding() const;
    void apply();

    QTreeView* m_view;
    QList<int> m_wanted;
    bool m_fitting = false;
    bool m_resized = false;
};

}  // namespace qm
