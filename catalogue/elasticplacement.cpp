#include "catalogue/elasticplacement.h"

#include <algorithm>
#include <cmath>

namespace qm {

QRect ElasticPlacement::placed(const QRect& design, Share share, QSize extra) {
    const auto part = [](qreal fraction, int amount) {
        return int(std::lround(fraction * amount));
    };
    return {design.x() + part(share.moveX, extra.width()),
            design.y() + part(share.moveY, extra.height()),
            design.width() + part(share.growX, extra.width()),
            design.height() + part(share.growY, extra.height())};
}

QSize ElasticPlacement::extra() const {
    if (!m_clientSize.isValid()) {
        return {0, 0};
    }
    return {std::max(0, m_clientSize.width() - m_designSize.width()),
            std::max(0, m_clientSize.height() - m_designSize.height())};
}

void ElasticPlacement::place(QWidget* widget, const QRect& design, Share share) {
    const auto same = [widget](const Item& item) { return item.widget == widget; };
    const auto found = std::find_if(m_items.begin(), m_items.end(), same);
    if (found != m_items.end()) {
        *found = {widget, design, share};
    } else {
        m_items.push_back({widget, design, share});
    }
    widget->setGeometry(placed(design, share, extra()));
}

void ElasticPlacement::apply(QSize clientSize) {
    m_clientSize = clientSize;
    const QSize more = extra();
    for (const Item& item : m_items) {
        if (item.widget) {
            item.widget->setGeometry(placed(item.design, item.share, more));
        }
    }
}

}  // namespace qm
