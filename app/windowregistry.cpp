#include "app/windowregistry.h"

#include <QTimer>

#include "app/endprogram.h"
#include "app/form.h"

namespace qm {

WindowRegistry& WindowRegistry::instance() {
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::setFactory(WindowKind kind, Factory factory) {
    m_factories[kind] = std::move(factory);
}

bool WindowRegistry::hasFactory(WindowKind kind) const {
    return m_factories.count(kind) != 0;
}

Form* WindowRegistry::find(WindowKind kind) const {
    const auto it = m_windows.find(kind);
    if (it == m_windows.end() || it->second.isNull() || it->second->isUnloaded()) {
        return nullptr;
    }
    return it->second.data();
}

bool WindowRegistry::isVisible(WindowKind kind) const {
    const Form* form = find(kind);
    return form && form->isVisible();
}

Form* WindowRegistry::window(WindowKind kind) {
    if (Form* existing = find(kind)) {
        return existing;
    }
    const auto factory = m_factories.find(kind);
    if (factory == m_factories.end()) {
        qFatal("no window registered for kind %d", static_cast<int>(kind));
    }
    Form* form = factory->second();
    m_windows[kind] = form;
    form->load();
    return form;
}

Form* WindowRegistry::show(WindowKind kind) {
    if (programEnded()) {
        return nullptr;
    }
    Form* form = window(kind);
    if (form->isUnloaded()) {
        return nullptr;
    }
    form->show();
    form->raise();
    form->activateWindow();
    form->scheduleFirstActivation();
    return form;
}

void WindowRegistry::showModal(WindowKind kind) {
    if (programEnded()) {
        return;
    }
    Form* form = window(kind);
    if (form->isUnloaded()) {
        return;
    }
    form->scheduleFirstActivation();
    form->exec();
}

void WindowRegistry::unload(WindowKind kind) {
    if (Form* form = find(kind)) {
        form->close();
    }
}

QList<Form*> WindowRegistry::loadedWindows() const {
    QList<Form*> forms;
    for (const auto& [kind, form] : m_windows) {
        if (!form.isNull() && !form->isUnloaded()) {
            forms.append(form.data());
        }
    }
    return forms;
}

bool WindowRegistry::anyWindowVisible() const {
    for (const Form* form : loadedWindows()) {
        if (form->isVisible()) {
            return true;
        }
    }
    return false;
}

void WindowRegistry::destroyAll() {
    for (auto& [kind, form] : m_windows) {
        if (!form.isNull()) {
            form->markUnloaded();
            form->hide();
            form->deleteLater();
        }
    }
    m_windows.clear();
}

void WindowRegistry::forget(Form* form) {
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
        if (it->second == form) {
            m_windows.erase(it);
            break;
        }
    }
    form->hide();
    form->deleteLater();
    // The program ends when its last window has closed; checked once pending events (such as a
    // window shown right after this one closed) have run.
    if (!m_checkPending) {
        m_checkPending = true;
        QTimer::singleShot(0, [this] { checkLastWindowClosed(); });
    }
}

void WindowRegistry::checkLastWindowClosed() {
    m_checkPending = false;
    if (!programEnded() && !anyWindowVisible()) {
        endProgram();
    }
}

}  // namespace qm
