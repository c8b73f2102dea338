#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace qm {

// Lets widgets take files dropped from the desktop: a drag that carries local files is accepted
// as a copy, whatever action the source proposed, and a drop reports their paths in the order
// given. Other drags are refused.
class FileDropFilter : public QObject {
    Q_OBJECT

public:
    explicit FileDropFilter(QObject* parent = nullptr);

    // Makes widget accept drops and watches it.
    void watch(QWidget* widget);

Q_SIGNALS:
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qm
