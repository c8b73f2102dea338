#pragma once

#include <QList>
#include <QPointer>

#include <functional>
#include <map>

namespace qm {

class Form;

// Every window of the program, by kind. Each kind exists at most once.
enum class WindowKind {
    Catalogue,     // the catalogue of one working folder
    MainMenu,      // the main menu
    Registration,  // the registration dialog of one entry
    Links,         // the link window
    Installer,     // the installer window
    Splash,        // shown while the catalogue builds its list
    Move,          // the folder move window
};

// Creates windows on first reference and forgets them when they unload, so that a later
// reference creates a fresh window. Windows reach each other only through here.
class WindowRegistry {
public:
    using Factory = std::function<Form*()>;

    static WindowRegistry& instance();

    void setFactory(WindowKind kind, Factory factory);
    bool hasFactory(WindowKind kind) const;

    // The window of that kind; created and loaded on first reference.
    Form* window(WindowKind kind);
    // The window of that kind if it is loaded, else nullptr; never creates one.
    Form* find(WindowKind kind) const;
    bool isLoaded(WindowKind kind) const { return find(kind) != nullptr; }
    bool isVisible(WindowKind kind) const;

    // Shows the window modeless; its first activation runs right after the first showing.
    Form* show(WindowKind kind);
    // Shows the window modally and returns when it has closed (and unloaded).
    void showModal(WindowKind kind);
    // Closes the window if it is loaded; its unload runs.
    void unload(WindowKind kind);

    QList<Form*> loadedWindows() const;
    bool anyWindowVisible() const;

    // Hides and deletes every window without running their unload (the end of the program).
    void destroyAll();

    // Called by a window when it has unloaded.
    void forget(Form* form);

private:
    void checkLastWindowClosed();

    std::map<WindowKind, Factory> m_factories;
    std::map<WindowKind, QPointer<Form>> m_windows;
    bool m_checkPending = false;
};

}  // namespace qm
