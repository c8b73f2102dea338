#pragma once

#include <QLabel>

namespace qm {

// A label in a fixed place whose text may be longer than the place. It keeps its whole text
// (text() returns it) and its font size; what does not fit is cut with an ellipsis, at the end
// of the last line that fits (wrapping labels) or where the elide mode says (one-line labels),
// and the whole text then becomes the tool tip.
class ElidingLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidingLabel(const QString& text = QString(), QWidget* parent = nullptr);

    // Hides QLabel::setText so that the tool tip follows the text.
    void setText(const QString& text);
    void setElideMode(Qt::TextElideMode mode);

    // The lines shown in the label's present size; the last one ends in "…" when cut.
    QStringList shownLines() const;
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textRect() const;
    void updateToolTip();

    Qt::TextElideMode m_elideMode = Qt::ElideRight;
    QString m_ownToolTip;
    bool m_toolTipIsText = false;
};

}  // namespace qm
