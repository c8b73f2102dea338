#include "installer/dropbox.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace qm {

DropBox::DropBox(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void DropBox::mousePressEvent(QMouseEvent* event) {
    // Taken, so that the release comes here too (also when the press was on the picture in it).
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void DropBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT activated();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

void DropBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        Q_EMIT activated();
        return;
    }
    QFrame::keyPressEvent(event);
}

}  // namespace qm
