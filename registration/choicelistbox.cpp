#include "registration/choicelistbox.h"

#include <QApplication>
#include <QMouseEvent>

namespace qm {

ChoiceListBox::ChoiceListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_filling && row >= 0) {
            Q_EMIT clicked();
        }
    });
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A click on the row that was already chosen; a click that moved the choice has
        // raised its click already.
        if (!m_filling && m_generation == m_pressGeneration && row(item) == m_pressRow) {
            Q_EMIT clicked();
        }
    });
}

void ChoiceListBox::beginFill() {
    m_filling = true;
    ++m_generation;
    if (m_inMouseEvent) {
        m_sinceClickRefill.start();
    }
    clear();
}

void ChoiceListBox::endFill() {
    m_filling = false;
}

void ChoiceListBox::itemOpened(QListWidgetItem*) {}

void ChoiceListBox::mousePressEvent(QMouseEvent* event) {
    m_pressGeneration = m_generation;
    m_pressRow = currentRow();
    m_inMouseEvent = true;
    QListWidget::mousePressEvent(event);
    m_inMouseEvent = false;
}

void ChoiceListBox::mouseReleaseEvent(QMouseEvent* event) {
    m_inMouseEvent = true;
    QListWidget::mouseReleaseEvent(event);
    m_inMouseEvent = false;
}

void ChoiceListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    // The rows may have changed between the two clicks (the first click's handler refilled the
    // list): the second click then did not aim at the row now under the pointer.
    if (m_sinceClickRefill.isValid() &&
        m_sinceClickRefill.elapsed() <= QApplication::doubleClickInterval()) {
        return;
    }
    if (QListWidgetItem* item = itemAt(event->position().toPoint())) {
        itemOpened(item);
    }
}

}  // namespace qm
