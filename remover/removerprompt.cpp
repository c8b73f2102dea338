#include "remover/removerprompt.h"

#include <QMessageBox>

namespace qmclean {
namespace {

class MessageBoxPrompt final : public RemoverPrompt {
public:
    void message(QWidget* parent, const QString& text, const QString& title) override {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        box.setText(text);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

RemoverPrompt* g_prompt = nullptr;

}  // namespace

RemoverPrompt& RemoverPrompt::instance() {
    static MessageBoxPrompt messageBox;
    return g_prompt ? *g_prompt : messageBox;
}

void RemoverPrompt::setInstance(RemoverPrompt* prompt) {
    g_prompt = prompt;
}

}  // namespace qmclean
