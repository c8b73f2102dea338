#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace qm {

// Places widgets in a client area that may be larger than the size it was designed for. Each
// widget keeps its design rectangle and takes given shares of the extra width and height: a
// share of 1 in "moveX" keeps it at its distance from the right edge, a share of 1 in "growX"
// stretches it with the window, and so on. Never smaller than the design.
class ElasticPlacement {
public:
    struct Share {
        qreal moveX = 0;
        qreal growX = 0;
        qreal moveY = 0;
        qreal growY = 0;
    };

    explicit ElasticPlacement(QSize designSize) : m_designSize(designSize) {}

    // Records (or replaces) the design rectangle and shares of widget, and places it at once.
    void place(QWidget* widget, const QRect& design, Share share);
    // Places every recorded widget for a client area of the given size.
    void apply(QSize clientSize);

    static QRect placed(const QRect& design, Share share, QSize extra);

private:
    struct Item {
        QPointer<QWidget> widget;
        QRect design;
        Share share;
    };
    QSize extra() const;

    QSize m_designSize;
    QSize m_clientSize;
    std::vector<Item> m_items;
};

}  // namespace qm
