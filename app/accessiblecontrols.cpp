#include "app/accessiblecontrols.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusFrame>
#include <QLabel>
#include <QLineEdit>

namespace qm {
namespace {

// A window or panel that shows screen readers only the child widgets that are shown.
class ShownChildrenAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = shownChildren();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children.at(index))
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(shownChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QList<QWidget*> shownChildren() const {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && child->isVisibleTo(widget()) &&
                !qobject_cast<QFocusFrame*>(child)) {
                shown << child;
            }
        }
        return shown;
    }
};

// Qt's own interfaces serve every control; this one serves the plain windows and panels that
// hold them (asked before Qt's, since a factory installed later is asked first).
QAccessibleInterface* shownChildrenFactory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (className == QLatin1String("QDialog")) {
        return new ShownChildrenAccessible(widget, QAccessible::Dialog);
    }
    if (className == QLatin1String("QWidget")) {
        return new ShownChildrenAccessible(widget, QAccessible::Client);
    }
    return nullptr;
}

class NameOnShow : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            nameControlsAfterLabels(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

}  // namespace

void makeAccessible(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(shownChildrenFactory);
        return true;
    }();
    Q_UNUSED(installed);
    window->installEventFilter(new NameOnShow(window));
}

QString textFileListName() {
    return QCoreApplication::translate("qm::AccessibleNames", "テキストファイル");
}

QString textFileContentsName() {
    return QCoreApplication::translate("qm::AccessibleNames", "テキストファイルの内容");
}

void nameControlsAfterLabels(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        QWidget* control = label->buddy();
        if (control && control->accessibleName().isEmpty()) {
            // "&Name" underlines a mnemonic; "&&" is a plain ampersand.
            QString text = label->text().simplified();
            text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
                .remove(u'&')
                .replace(u'\x01', u'&');
            control->setAccessibleName(text);
        }
    }
    // A text box without a label is spoken by the hint it shows while empty.
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (box->accessibleName().isEmpty() && !box->placeholderText().isEmpty()) {
            box->setAccessibleName(box->placeholderText());
        }
    }
    // The text box of an editable combo box is spoken as the box.
    for (QComboBox* box : window->findChildren<QComboBox*>()) {
        if (box->lineEdit() && box->lineEdit()->accessibleName().isEmpty()) {
            box->lineEdit()->setAccessibleName(box->accessibleName());
        }
    }
}

}  // namespace qm
