#pragma once

#include <QFrame>

namespace qm {

// The sunken box that archives are dropped on. It also takes the keyboard focus and reports a
// click or Enter, for those who would rather choose the file than drag it.
class DropBox : public QFrame {
    Q_OBJECT

public:
    explicit DropBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void activated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qm
