#pragma once

#include <QList>
#include <QStringList>

#include <functional>

#include "platform/prompt.h"

namespace qm::test {

struct ShownMessage {
    QString text;
    int flags = 0;
    QString title;        // as passed: "" means the program's title
    QStringList buttons;  // of a question with buttons of its own
    int defaultButton = -1;
};

// Answers message boxes and folder choosers from queues and records everything it was asked.
class FakePrompt final : public Prompt {
public:
    // Answers for Yes/No questions, in order; an unexpected question is answered No.
    QList<int> answers;
    // Button indexes for questions with buttons of their own, in order; an unexpected one is
    // answered with the last button (as Escape would).
    QList<int> choices;
    // Folders the chooser returns, in order; "" (cancel) when the queue is empty.
    QStringList folders;
    // Files the file chooser returns, in order; "" (cancel) when the queue is empty.
    QStringList files;
    // Called for every message box, before it is answered (may change answers).
    std::function<void(const ShownMessage&)> onMessage;

    QList<ShownMessage> messages;
    QStringList chooserTitles;  // of folder and file choosers
    QStringList fileFilters;
    int unexpectedQuestions = 0;

    int message(const QString& text, int flags, const QString& title) override;
    int choose(const QString& text, const QStringList& buttons, int defaultButton,
               const QString& title) override;
    QString chooseFolder(QWidget* owner, const QString& title) override;
    QString chooseFile(QWidget* owner, const QString& title, const QString& filter) override;

    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear();
};

}  // namespace qm::test
