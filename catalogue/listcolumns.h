#pragma once

#include <QObject>

class QTreeView;

namespace qm {

// The widths of the catalogue list's columns: fitted to their texts until the user resizes one,
// then kept as the user left them, across openings too.
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
    void fit();

    QTreeView* m_view;
    bool m_fitting = false;
    bool m_resized = false;
};

}  // namespace qm
