#include "catalogue/cataloguemarks.h"

#include <QPainter>
#include <QPainterPath>

namespace qm {
namespace {

constexpr int kMarkSize = 16;

QPixmap blankMark() {
    QPixmap pixmap(kMarkSize, kMarkSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap registeredMark() {
    // A white tick on a green disc.
    QPixmap pixmap = blankMark();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 1));
    painter.setBrush(QColor(0x43, 0xa0, 0x47));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QPainterPath tick;
    tick.moveTo(4.5, 8.5);
    tick.lineTo(7, 11);
    tick.lineTo(11.5, 5.5);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    return pixmap;
}

QPixmap unregisteredMark() {
    // A dark question mark on a yellow square.
    QPixmap pixmap = blankMark();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x8d, 0x6e, 0x00), 1));
    painter.setBrush(QColor(0xff, 0xd5, 0x4f));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    QFont font = painter.font();
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x3e, 0x27, 0x23));
    painter.drawText(QRect(0, 0, kMarkSize, kMarkSize), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

}  // namespace qm
