#include "catalogue/cataloguefilterbar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

#include "app/storedtext.h"
#include "catalogue/cataloguefilter.h"
#include "catalogue/cataloguemodel.h"

namespace qm {

CatalogueFilterBar::CatalogueFilterBar(CatalogueModel& model, CatalogueFilter& filter,
                                       QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_filter(filter),
      m_filterBox(new QLineEdit(this)),
      m_categoryBox(new QComboBox(this)),
      m_count(new QLabel(this)),
      m_categoryTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("filterBar"));
    m_filterBox->setObjectName(QStringLiteral("filterBox"));
    m_filterBox->setPlaceholderText(tr("名前・分類・説明・フォルダ名で絞り込み (Ctrl+F)"));
    m_filterBox->setClearButtonEnabled(true);
    m_filterBox->installEventFilter(this);
    m_categoryBox->setObjectName(QStringLiteral("categoryBox"));
    m_categoryBox->setToolTip(tr("この分類の項目だけを表示します。"));
    m_categoryBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_count->setObjectName(QStringLiteral("rowCount"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->addWidget(m_filterBox, 1);
    layout->addWidget(m_categoryBox);
    layout->addWidget(m_count);

    connect(m_filterBox, &QLineEdit::textChanged, &m_filter, &CatalogueFilter::setText);
    connect(m_categoryBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QVariant category = m_categoryBox->itemData(index);
        m_filter.setCategory(category.isValid() ? std::optional(category.toString())
                                                : std::nullopt);
    });
    // The filter changes its rows by layout changes and resets only.
    connect(&m_filter, &QAbstractItemModel::layoutChanged, this, &CatalogueFilterBar::showCount);
    connect(&m_filter, &QAbstractItemModel::modelReset, this, &CatalogueFilterBar::showCount);
    m_categoryTimer->setSingleShot(true);
    m_categoryTimer->setInterval(0);
    connect(m_categoryTimer, &QTimer::timeout, this, &CatalogueFilterBar::refreshCategories);
    const auto later = [this] {
        // Once per burst of changes (a load changes every row).
        if (!m_categoryTimer->isActive()) {
            m_categoryTimer->start();
        }
    };
    connect(&m_model, &QAbstractItemModel::modelReset, this, later);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, later);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, later);
    refreshCategories();
}

void CatalogueFilterBar::focusFilter() {
    m_filterBox->setFocus(Qt::ShortcutFocusReason);
    m_filterBox->selectAll();
}

void CatalogueFilterBar::clear() {
    m_filterBox->clear();
    m_categoryBox->setCurrentIndex(0);
}

bool CatalogueFilterBar::eventFilter(QObject* watched, QEvent* event) {
    // Esc empties the filter box; on an empty box it is left to the window.
    if (watched == m_filterBox && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !m_filterBox->text().isEmpty()) {
        m_filterBox->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CatalogueFilterBar::refreshCategories() {
    // Few categories among many rows: counted in a hash, then put in order.
    QHash<QString, int> counts;
    for (const CatalogueEntry& entry : m_model.entries()) {
        ++counts[entry.category];
    }
    QStringList categories = counts.keys();
    std::sort(categories.begin(), categories.end());
    const QVariant chosen = m_categoryBox->currentData();
    const QSignalBlocker blocker(m_categoryBox);
    m_categoryBox->clear();
    m_categoryBox->addItem(tr("すべての分類 (%1)").arg(m_model.rowCount()));
    for (const QString& category : std::as_const(categories)) {
        // Placeholders show as the list shows them.
        m_categoryBox->addItem(
            QStringLiteral("%1 (%2)").arg(shownText(category)).arg(counts.value(category)),
            category);
    }
    const int index = chosen.isValid() ? m_categoryBox->findData(chosen) : 0;
    m_categoryBox->setCurrentIndex(std::max(index, 0));
    if (index < 0) {
        // The category is no longer in use: every row shows again.
        m_filter.setCategory(std::nullopt);
    }
    showCount();
}

void CatalogueFilterBar::showCount() {
    const int total = m_model.rowCount();
    m_count->setText(m_filter.isFiltered() ? tr("%1 / %2 件").arg(m_filter.rowCount()).arg(total)
                                           : tr("%1 件").arg(total));
}

}  // namespace qm
