#pragma once

#include <QLabel>

namespace qm {

// A bordered label for a path: a path too long for it is drawn shortened in the middle, so that
// both its start and its name stay in sight; text() and the tool tip keep the whole path.
class PathLabel : public QLabel {
    Q_OBJECT

public:
    explicit PathLabel(QWidget* parent = nullptr);

    void setPath(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm
