#pragma once

#include "app/form.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class ElidingLabel;
class FileListBox;
class FolderListBox;

// The dialog that registers or changes one catalogue entry. It reads the exchange record of the
// program state when it loads and writes it back when it is left by OK, "対象外", ">>>" or "<<<";
// Cancel and the close box write nothing back. It unloads itself on every way out.
class RegistrationWindow : public Form {
    Q_OBJECT

public:
    explicit RegistrationWindow(QWidget* parent = nullptr);

    void load() override;
    void activate() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildStateFrame();
    void buildPreviewFrame();
    void setCovered(bool covered);
    void setExePath(const QString& path);
    void offerProgramText(const QString& path);
    void drawIcon();
    QString exeFolder() const;
    QString programFolder() const;
    QString takenText() const;

    void onCheck1Click();
    void onCommand1Click();
    void onCommand2Click();
    void onCommand3Click();
    void onCommand4Click();
    void onCommand5Click();
    void onCommand6Click();
    void onCommand7Click();
    void onDir1Change();
    void onDir1Click();
    void onFile1Click();
    void onFile2Click();

    QGroupBox* m_stateFrame = nullptr;                // Frame1
    QLabel* m_stateLabel = nullptr;                   // Label7
    QCheckBox* m_excludeCheck = nullptr;              // Check1
    QLabel* m_nothingLabel = nullptr;                 // Label8
    QLabel* m_nameCaption = nullptr;                  // Label3
    QLineEdit* m_nameEdit = nullptr;                  // Label2
    QLabel* m_folderCaption = nullptr;                // Label4
    QLabel* m_folderLabel = nullptr;                  // Label1
    QLabel* m_categoryCaption = nullptr;              // Label10
    QComboBox* m_categoryCombo = nullptr;             // Combo1
    QLabel* m_exeCaption = nullptr;                   // Label5
    ElidingLabel* m_exeLabel = nullptr;               // Text1
    FolderListBox* m_folderList = nullptr;            // Dir1
    FileListBox* m_exeList = nullptr;                 // File1
    QLabel* m_iconBox = nullptr;                      // Picture1
    QLabel* m_descriptionCaption = nullptr;           // Label6
    QLineEdit* m_descriptionEdit = nullptr;           // Text2
    QPushButton* m_excludeButton = nullptr;           // Command3
    QPushButton* m_cancelButton = nullptr;            // Command2
    QPushButton* m_okButton = nullptr;                // Command1
    QFrame* m_okFrame = nullptr;                      // Shape1
    QPushButton* m_previousButton = nullptr;          // Command5
    QPushButton* m_nextButton = nullptr;              // Command4
    QGroupBox* m_previewFrame = nullptr;              // Frame2
    FileListBox* m_textList = nullptr;                // File2
    QLabel* m_selectionCaption = nullptr;             // Label9
    QPushButton* m_useAsNameButton = nullptr;         // Command6
    QPushButton* m_useAsDescriptionButton = nullptr;  // Command7
    QPlainTextEdit* m_preview = nullptr;              // Text3
    QLabel* m_offerLabel = nullptr;                   // Label11: where offered texts came from

    QString m_offeredName;
    QString m_offeredDescription;
    bool m_activated = false;
    bool m_leaving = false;
};

}  // namespace qm
