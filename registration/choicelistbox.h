#pragma once

#include <QElapsedTimer>
#include <QListWidget>

namespace qm {

// A list whose "click" is any choice of a row: by the mouse (also on the row already chosen), by
// the keyboard or by code. Refilling the list raises none, and a double click whose first click
// refilled the list is dropped, so that it cannot open a row the user never saw.
class ChoiceListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ChoiceListBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void beginFill();
    void endFill();
    // A row was double-clicked.
    virtual void itemOpened(QListWidgetItem* item);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_filling = false;
    bool m_inMouseEvent = false;
    int m_generation = 0;
    int m_pressGeneration = 0;
    int m_pressRow = -1;
    QElapsedTimer m_sinceClickRefill;  // a click's handler refilled the list
};

}  // namespace qm
