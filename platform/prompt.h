#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace qm {

// Button and icon flags of a message box, as the program's texts name them.
// MsgDefaultNo makes No the default button of a Yes/No question.
enum MessageFlags { MsgOkOnly = 0, MsgYesNo = 4, MsgExclamation = 48, MsgDefaultNo = 256 };

// What a message box returns.
enum MessageAnswer { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

// Every message box and file or folder chooser of the program goes through this one service, so
// that tests can answer in advance and read back what was shown.
class Prompt {
public:
    virtual ~Prompt() = default;

    // Shows a message box. An empty title means the program's title (defaultTitle()).
    virtual int message(const QString& text, int flags, const QString& title) = 0;

    // A question with buttons of its own: the index of the button chosen. Escape chooses the
    // last button, which should therefore be the one that changes nothing.
    virtual int choose(const QString& text, const QStringList& buttons, int defaultButton,
                       const QString& title) = 0;

    // A modal folder chooser with a prompt; an absolute folder path, or "" when cancelled.
    virtual QString chooseFolder(QWidget* owner, const QString& title) = 0;

    // A modal chooser of one existing file matching filter ("Text (*.txt)"); its absolute path,
    // or "" when cancelled.
    virtual QString chooseFile(QWidget* owner, const QString& title, const QString& filter) = 0;

    // The service in use; a Qt one unless a test installed another.
    static Prompt& instance();
    // Installs a service (not owned); nullptr restores the Qt one.
    static void setInstance(Prompt* prompt);

    static QString defaultTitle();
    static void setDefaultTitle(const QString& title);
};

// Shorthand for Prompt::instance().message().
int messageBox(const QString& text, int flags = MsgOkOnly, const QString& title = QString());

// Shorthand for Prompt::instance().choose().
int chooseButton(const QString& text, const QStringList& buttons, int defaultButton,
                 const QString& title = QString());

}  // namespace qm
