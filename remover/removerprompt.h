#pragma once

#include <QString>

class QWidget;

namespace qmclean {

// The title of the remover's message boxes.
inline constexpr char16_t kTitle[] = u"qmornclean";

// Shows the remover's message boxes (OK button only). Tests install their own to read back what
// would have been shown.
class RemoverPrompt {
public:
    virtual ~RemoverPrompt() = default;
    virtual void message(QWidget* parent, const QString& text, const QString& title) = 0;

    // The prompt in use: a message box unless a test installed another.
    static RemoverPrompt& instance();
    // Installs a prompt (not owned); nullptr restores the message box.
    static void setInstance(RemoverPrompt* prompt);
};

}  // namespace qmclean
