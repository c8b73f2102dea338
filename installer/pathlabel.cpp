#include "installer/pathlabel.h"

#include <QPainter>

namespace qm {

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void PathLabel::setPath(const QString& path) {
    setText(path);
    setToolTip(path);
}

void PathLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(3, 0, -3, 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
}

}  // namespace qm
