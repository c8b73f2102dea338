#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace qm {

class CatalogueFilter;
class CatalogueModel;

// The row above the catalogue that narrows what it shows: a filter box (each key filters, Esc
// empties it), the categories in use with their counts, and the number of rows shown.
class CatalogueFilterBar : public QWidget {
    Q_OBJECT

public:
    CatalogueFilterBar(CatalogueModel& model, CatalogueFilter& filter, QWidget* parent = nullptr);

    QLineEdit* filterBox() const { return m_filterBox; }
    QComboBox* categoryBox() const { return m_categoryBox; }
    // Goes to the filter box with its text selected, so that typing replaces it.
    void focusFilter();
    // Shows every row again.
    void clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshCategories();
    void showCount();

    CatalogueModel& m_model;
    CatalogueFilter& m_filter;
    QLineEdit* m_filterBox;
    QComboBox* m_categoryBox;
    QLabel* m_count;
    // The categories are counted once after a burst of changes to the rows.
    QTimer* m_categoryTimer;
};

}  // namespace qm
