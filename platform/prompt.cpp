#include "platform/prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <cstdio>

namespace qm {
namespace {

// For scripts that drive the real program: every message also goes to standard error.
void echo(const QString& text) {
    static const bool echoing = qEnvironmentVariableIsSet("QUILLMORN_ECHO_MESSAGES");
    if (echoing) {
        std::fprintf(stderr, "quillmorn message: %s\n", qUtf8Printable(text));
        std::fflush(stderr);
    }
}

// The window a box stands over. A window that has just closed can still be the active one until
// the window system moves the focus; it is about to be destroyed, and would take the box with it.
QWidget* boxOwner() {
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

// A box over the active window, echoed. On the heap: the owner may still be destroyed while the
// box waits, and takes the box with it; the caller then counts the box as escaped.
QPointer<QMessageBox> makeBox(const QString& text, const QString& title) {
    echo(text);
    const QPointer<QMessageBox> box = new QMessageBox(boxOwner());
    box->setWindowTitle(title.isEmpty() ? Prompt::defaultTitle() : title);
    box->setText(text);
    return box;
}

class QtPrompt final : public Prompt {
public:
    int message(const QString& text, int flags, const QString& title) override {
        const QPointer<QMessageBox> box = makeBox(text, title);
        if ((flags & 0x30) == MsgExclamation) {
            box->setIcon(QMessageBox::Warning);
        }
        const bool yesNo = (flags & 0x7) == MsgYesNo;
        if (yesNo) {
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box->setDefaultButton((flags & MsgDefaultNo) ? QMessageBox::No : QMessageBox::Yes);
            box->setEscapeButton(QMessageBox::No);
        } else {
            box->setStandardButtons(QMessageBox::Ok);
        }
        const int answer = box->exec();
        if (box.isNull()) {
            return yesNo ? AnswerNo : AnswerOk;
        }
        delete box.data();
        if (answer == QMessageBox::Yes) {
            return AnswerYes;
        }
        if (answer == QMessageBox::No) {
            return AnswerNo;
        }
        return AnswerOk;
    }

    int choose(const QString& text, const QStringList& buttons, int defaultButton,
               const QString& title) override {
        if (buttons.isEmpty()) {
            return -1;
        }
        const QPointer<QMessageBox> box = makeBox(text, title);
        box->setIcon(QMessageBox::Question);
        QList<QPushButton*> added;
        for (const QString& caption : buttons) {
            added.append(box->addButton(caption, QMessageBox::ActionRole));
        }
        box->setDefaultButton(added.value(defaultButton, added.first()));
        box->setEscapeButton(added.last());
        box->exec();
        if (box.isNull()) {
            return int(added.size()) - 1;
        }
        const int chosen = added.indexOf(qobject_cast<QPushButton*>(box->clickedButton()));
        delete box.data();
        return chosen < 0 ? int(added.size()) - 1 : chosen;
    }

    QString chooseFolder(QWidget* owner, const QString& title) override {
        return QFileDialog::getExistingDirectory(owner, title, QDir::homePath(),
                                                 QFileDialog::ShowDirsOnly);
    }

    QString chooseFile(QWidget* owner, const QString& title, const QString& filter) override {
        return QFileDialog::getOpenFileName(owner, title, QDir::homePath(), filter);
    }
};

QtPrompt& qtPrompt() {
    static QtPrompt prompt;
    return prompt;
}

Prompt* g_prompt = nullptr;
QString g_defaultTitle = QStringLiteral("quillmorn");

}  // namespace

Prompt& Prompt::instance() {
    return g_prompt ? *g_prompt : qtPrompt();
}

void Prompt::setInstance(Prompt* prompt) {
    g_prompt = prompt;
}

QString Prompt::defaultTitle() {
    return g_defaultTitle;
}

void Prompt::setDefaultTitle(const QString& title) {
    g_defaultTitle = title;
}

int messageBox(const QString& text, int flags, const QString& title) {
    return Prompt::instance().message(text, flags, title);
}

int chooseButton(const QString& text, const QStringList& buttons, int defaultButton,
                 const QString& title) {
    return Prompt::instance().choose(text, buttons, defaultButton, title);
}

}  // namespace qm
