#include "app/instancerequest.h"

#include <QApplication>
#include <QWidget>

#include "app/form.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "app/windowregistry.h"
#include "platform/paths.h"
#include "platform/prompt.h"

namespace qm {
namespace {

void bringForward(QWidget* window) {
    if (!window) {
        return;
    }
    if (window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
}

QList<Form*> shownWindows() {
    QList<Form*> shown;
    for (Form* form : WindowRegistry::instance().loadedWindows()) {
        if (form->isVisible()) {
            shown << form;
        }
    }
    return shown;
}

void refuse(QWidget* window) {
    bringForward(window);
    messageBox(alreadyRunningMessage());
}

}  // namespace

void handleInstanceRequest(const QString& argumentText, const QString& senderFolder) {
    auto& registry = WindowRegistry::instance();
    const QList<Form*> shown = shownWindows();
    QWidget* front = QApplication::activeModalWidget();
    if (!front) {
        front = QApplication::activeWindow() ? QApplication::activeWindow() : shown.value(0);
    }
    if (QApplication::activeModalWidget()) {
        refuse(front);
        return;
    }
    if (argumentText.isEmpty()) {
        bringForward(front);
        return;
    }
    const bool leavable =
        std::all_of(shown.begin(), shown.end(), [](const Form* form) { return form->canBeLeft(); });
    if (!leavable) {
        refuse(front);
        return;
    }
    ProgramState& s = state();
    const ProgramState before = s;
    const std::optional<WindowKind> wanted = [&] {
        const ScopedCurrentFolder there(senderFolder);
        return decideStart(argumentText);
    }();
    Form* open = wanted ? registry.find(*wanted) : nullptr;
    if (open && *wanted == WindowKind::Installer && s.workFolder == before.workFolder &&
        !s.pendingInstallFile.isEmpty()) {
        // The installer of the current working folder takes the file where it stands.
        bringForward(open);
        open->runActivate();
        return;
    }
    if (!wanted) {
        // A command line that asks for nothing, as at a start.
        s = before;
        bringForward(front);
        return;
    }
    if (open) {
        // A window of that kind would have to close for its own successor.
        s = before;
        refuse(front);
        return;
    }
    showStartWindow(*wanted);
    for (Form* form : shown) {
        registry.unload(form->kind());
    }
}

}  // namespace qm
