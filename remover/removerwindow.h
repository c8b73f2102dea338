#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace qmclean {

// The remover's only window: says what it does, deletes the main program's preferences on
// "削除" and ends; "終了" ends at once. Closing it ends the program.
class RemoverWindow : public QWidget {
    Q_OBJECT

public:
    explicit RemoverWindow(QWidget* parent = nullptr);

    // True once the window has closed, by a button or its close box.
    bool hasEnded() const { return m_ended; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void removeSettings();
    void showMessage(const QString& text);

    // Positions in twips (1440 to the inch), scaled by the screen's logical dpi.
    int twips(int value) const;
    void placeTwips(QWidget* widget, int left, int top, int width, int height) const;

    QLabel* m_label;
    QPushButton* m_removeButton;
    QPushButton* m_quitButton;
    bool m_ended = false;
};

}  // namespace qmclean
