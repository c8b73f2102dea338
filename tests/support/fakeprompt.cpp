#include "support/fakeprompt.h"

namespace qm::test {

int FakePrompt::message(const QString& text, int flags, const QString& title) {
    const ShownMessage shown{text, flags, title, {}, -1};
    messages.append(shown);
    if (onMessage) {
        onMessage(shown);
    }
    if ((flags & 0x7) == MsgYesNo) {
        if (answers.isEmpty()) {
            ++unexpectedQuestions;
            return AnswerNo;
        }
        return answers.takeFirst();
    }
    return AnswerOk;
}

int FakePrompt::choose(const QString& text, const QStringList& buttons, int defaultButton,
                       const QString& title) {
    const ShownMessage shown{text, 0, title, buttons, defaultButton};
    messages.append(shown);
    if (onMessage) {
        onMessage(shown);
    }
    if (choices.isEmpty()) {
        ++unexpectedQuestions;
        return int(buttons.size()) - 1;
    }
    return choices.takeFirst();
}

QString FakePrompt::chooseFolder(QWidget*, const QString& title) {
    chooserTitles.append(title);
    return folders.isEmpty() ? QString() : folders.takeFirst();
}

QString FakePrompt::chooseFile(QWidget*, const QString& title, const QString& filter) {
    chooserTitles.append(title);
    fileFilters.append(filter);
    return files.isEmpty() ? QString() : files.takeFirst();
}

QStringList FakePrompt::texts() const {
    QStringList result;
    for (const ShownMessage& m : messages) {
        result.append(m.text);
    }
    return result;
}

void FakePrompt::clear() {
    answers.clear();
    choices.clear();
    folders.clear();
    files.clear();
    fileFilters.clear();
    messages.clear();
    chooserTitles.clear();
    unexpectedQuestions = 0;
    onMessage = nullptr;
}

}  // namespace qm::test
