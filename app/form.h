#pragma once

#include <QDialog>

#include "app/windowregistry.h"

namespace qm {

// Base of every window: load, activate and unload as deliberate steps.
// - load() runs once when the registry creates the window;
// - activate() runs right after the first showing, after a modal window opened from here has
//   closed, and when the user switches to it from another window of this program;
// - unload() runs when the window closes, by its close box or by code; the window is then
//   deleted and a later reference creates it afresh.
class Form : public QDialog {
    Q_OBJECT

public:
    explicit Form(WindowKind kind, QWidget* parent = nullptr);

    WindowKind kind() const { return m_kind; }
    bool isUnloaded() const { return m_unloaded; }

    virtual void load() {}
    virtual void activate() {}
    // Asked when the window is about to close; false keeps it open (and unload() does not run).
    virtual bool queryUnload() { return true; }
    // True when a request of a later start may close this window without losing anything the
    // user is doing (nothing unsaved, nothing running).
    virtual bool canBeLeft() const { return false; }
    virtual void unload() {}

    // Runs activate() unless the window has unloaded or the program has ended.
    void runActivate();
    // Schedules the first activation (the registry calls it when it first shows the window).
    void scheduleFirstActivation();
    // Marks the window gone without its unload handling (end of the program).
    void markUnloaded() { m_unloaded = true; }

    // Positions in twips (1440 to the inch) of the original layout, scaled to the screen.
    int twips(int value) const;
    void placeTwips(QWidget* widget, int left, int top, int width, int height) const;
    void setClientSizeTwips(int width, int height);

public Q_SLOTS:
    // Escape and programmatic rejection go through close() so that unload() runs.
    void reject() override;

protected:
    // Shows another window modally over this one; once it has closed, this window is activated.
    // False when this window was unloaded or destroyed meanwhile: the caller must then return
    // at once without touching its members.
    bool showModalWindow(WindowKind kind);

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void runFirstActivation(int waitedMs);

    WindowKind m_kind;
    bool m_unloaded = false;
    bool m_firstActivationScheduled = false;
    bool m_firstActivationDone = false;
    // The window system has made this window the active one at least once.
    bool m_activeBefore = false;
};

}  // namespace qm
