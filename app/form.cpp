#include "app/form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include "app/accessiblecontrols.h"
#include "app/endprogram.h"

namespace qm {
namespace {

// The window of this program that was active last; a message box does not count.
QPointer<Form> g_lastActive;

}  // namespace

Form::Form(WindowKind kind, QWidget* parent) : QDialog(parent), m_kind(kind) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    makeAccessible(this);
}

void Form::runActivate() {
    if (m_unloaded || programEnded()) {
        return;
    }
    m_firstActivationDone = true;
    activate();
}

void Form::scheduleFirstActivation() {
    if (m_firstActivationScheduled) {
        return;
    }
    m_firstActivationScheduled = true;
    QTimer::singleShot(0, this, [this] { runFirstActivation(0); });
}

void Form::runFirstActivation(int waitedMs) {
    // A window asks the window manager to activate it only once it is mapped. A window or box
    // that the first activation opens before then would be mapped first and then lose the
    // focus to this one, so the first activation waits until the window system shows this
    // window (bounded, for a platform that never does).
    constexpr int step = 10;
    constexpr int longest = 2000;
    const QWindow* handle = windowHandle();
    if (isVisible() && handle && !handle->isExposed() && waitedMs < longest) {
        QTimer::singleShot(step, this, [this, waitedMs] { runFirstActivation(waitedMs + step); });
        return;
    }
    runActivate();
}

int Form::twips(int value) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return (value * dpi + 720) / 1440;
}

void Form::placeTwips(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void Form::setClientSizeTwips(int width, int height) {
    setFixedSize(twips(width), twips(height));
}

void Form::reject() {
    close();
}

bool Form::showModalWindow(WindowKind kind) {
    const QPointer<Form> self(this);
    WindowRegistry::instance().showModal(kind);
    if (self.isNull() || m_unloaded) {
        return false;
    }
    QTimer::singleShot(0, this, [this] { runActivate(); });
    return true;
}

void Form::closeEvent(QCloseEvent* event) {
    if (m_unloaded) {
        event->accept();
        return;
    }
    if (!queryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    m_unloaded = true;
    if (g_lastActive == this) {
        g_lastActive = nullptr;
    }
    unload();
    QDialog::done(QDialog::Rejected);
    WindowRegistry::instance().forget(this);
}

bool Form::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_unloaded) {
        // A switch from another window of this program activates this one; a return from
        // another application or from a message box does not. The first time the window system
        // activates a window still belongs to its first showing (the focus may arrive only after
        // the first activation ran), so only a later one can be a return.
        Form* previous = g_lastActive.data();
        g_lastActive = this;
        const bool returning = m_activeBefore;
        m_activeBefore = true;
        if (returning && m_firstActivationDone && previous && previous != this &&
            !previous->isUnloaded() && previous->isVisible()) {
            QTimer::singleShot(0, this, [this] { runActivate(); });
        }
    }
    return QDialog::event(event);
}

void Form::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace qm
