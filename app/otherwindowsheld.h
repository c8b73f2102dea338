#pragma once

#include <QList>
#include <QPointer>

namespace qm {

class Form;

// Keeps every other window of the program disabled while it lives (the splash excepted), so
// that events let through during a long load start nothing there; enables them again after.
class OtherWindowsHeld {
public:
    explicit OtherWindowsHeld(const Form* keep);
    ~OtherWindowsHeld();
    OtherWindowsHeld(const OtherWindowsHeld&) = delete;
    OtherWindowsHeld& operator=(const OtherWindowsHeld&) = delete;

private:
    QList<QPointer<Form>> m_held;
};

}  // namespace qm
