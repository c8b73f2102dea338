#include "app/elidinglabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace qm {

ElidingLabel::ElidingLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setText(text);
}

void ElidingLabel::setText(const QString& text) {
    QLabel::setText(text);
    updateToolTip();
}

void ElidingLabel::setElideMode(Qt::TextElideMode mode) {
    m_elideMode = mode;
    updateToolTip();
    update();
}

QRect ElidingLabel::textRect() const {
    QRect rect = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (indent() > 0) {
        rect.adjust(indent(), 0, 0, 0);
    } else if (indent() < 0 && frameWidth() > 0) {
        // As QLabel does: a framed label keeps half a letter's width from its frame.
        rect.adjust(fontMetrics().horizontalAdvance(u'x') / 2, 0, 0, 0);
    }
    return rect;
}

QStringList ElidingLabel::shownLines() const {
    const QRect room = textRect();
    const QFontMetrics metrics = fontMetrics();
    const QString whole = text();
    if (!wordWrap()) {
        return {metrics.elidedText(whole, m_elideMode, room.width())};
    }
    // Japanese has no spaces: a line may break anywhere.
    QTextLayout layout(whole, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const int maxLines = std::max(1, room.height() / std::max(1, metrics.lineSpacing()));
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room.width());
        if (lines.size() == maxLines - 1) {
            // The last line that fits takes the rest of the text, cut where it must be.
            lines.append(
                metrics.elidedText(whole.mid(line.textStart()), Qt::ElideRight, room.width()));
            break;
        }
        lines.append(whole.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

bool ElidingLabel::isElided() const {
    return shownLines().join(QString()) != text();
}

void ElidingLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = textRect();
    const int lineSpacing = fontMetrics().lineSpacing();
    const QStringList lines = shownLines();
    const int textHeight = int(lines.size()) * lineSpacing;
    int top = room.top();
    if (alignment() & Qt::AlignVCenter) {
        top += (room.height() - textHeight) / 2;
    } else if (alignment() & Qt::AlignBottom) {
        top += room.height() - textHeight;
    }
    const int horizontal = int(alignment() & Qt::AlignHorizontal_Mask);
    for (const QString& line : lines) {
        const QRect lineRect(room.left(), top, room.width(), lineSpacing);
        style()->drawItemText(&painter, lineRect, horizontal | Qt::AlignVCenter, palette(),
                              isEnabled(), line, foregroundRole());
        top += lineSpacing;
    }
}

void ElidingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateToolTip();
}

void ElidingLabel::updateToolTip() {
    // A tool tip set by the owner is kept; the whole text stands in for it only while cut.
    if (!m_toolTipIsText) {
        m_ownToolTip = toolTip();
    }
    m_toolTipIsText = isElided();
    setToolTip(m_toolTipIsText ? text() : m_ownToolTip);
}

}  // namespace qm
