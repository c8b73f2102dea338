#include "remover/removerwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "remover/removerprompt.h"
#include "remover/settingsremover.h"

namespace qmclean {

RemoverWindow::RemoverWindow(QWidget* parent)
    : QWidget(parent),
#ifdef Q_OS_WIN
      m_label(new QLabel(tr("Quillmornのレジストリを削除します。"), this)),
#else
      // Off Windows the preferences are a file of the user's configuration, not the registry.
      m_label(new QLabel(tr("Quillmornの設定を削除します。"), this)),
#endif
      m_removeButton(new QPushButton(tr("削除"), this)),
      m_quitButton(new QPushButton(tr("終了"), this)) {
    setWindowTitle(tr("Quillmorn アンインストール"));
    m_label->setObjectName(QStringLiteral("Label1"));
    m_removeButton->setObjectName(QStringLiteral("Command1"));
    m_quitButton->setObjectName(QStringLiteral("Command2"));

    setFixedSize(twips(4680), twips(975));
    // The label ends before the buttons; where its text does not fit one line it wraps into the
    // room below.
    placeTwips(m_label, 240, 240, 3060, 495);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(m_removeButton, 3360, 120, 1095, 375);
    placeTwips(m_quitButton, 3360, 600, 1095, 255);

    setTabOrder(m_removeButton, m_quitButton);
    m_removeButton->setDefault(true);
    m_removeButton->setFocus();

    connect(m_removeButton, &QPushButton::clicked, this, &RemoverWindow::removeSettings);
    connect(m_quitButton, &QPushButton::clicked, this, &RemoverWindow::close);
}

void RemoverWindow::closeEvent(QCloseEvent* event) {
    m_ended = true;
    event->accept();
}

void RemoverWindow::removeSettings() {
    if (!SettingsRemover::removeSection(QString::fromUtf16(kApplication),
                                        QString::fromUtf16(kSection))) {
        // Nothing to delete (or it could not be deleted): the user may try again or quit.
        showMessage(tr("エラーが発生しました。"));
        return;
    }
    showMessage(tr("完了しました。"));
    close();
}

void RemoverWindow::showMessage(const QString& text) {
    RemoverPrompt::instance().message(this, text, QString::fromUtf16(kTitle));
}

int RemoverWindow::twips(int value) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return (value * dpi + 720) / 1440;
}

void RemoverWindow::placeTwips(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace qmclean
