#pragma once

#include <functional>

#include <QObject>

class QTreeView;
class QWidget;

namespace qm {

class CatalogueFilter;
class ListSelection;

// Shows the preview of the entry the user goes to in the catalogue list: on every change of the
// current row, and on every click on an entry, also on the row already selected (after another
// text file was viewed). A click that selects another row was shown by the change already.
class PreviewFollower : public QObject {
    Q_OBJECT

public:
    // `preview` gets a row of the model.
    PreviewFollower(QTreeView* list, CatalogueFilter& filter, const ListSelection& selection,
                    std::function<void(int)> preview);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_viewport;
    const ListSelection& m_selection;
    // The row that was selected when the mouse was pressed on the list.
    int m_rowAtPress = -1;
};

}  // namespace qm
