#pragma once

#include <QString>

#include "app/form.h"
#include "platform/fileoperation.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace qm {

// "フォルダの移動": moves the program folder named by moveSource into a new folder of the same
// name under a prepared working folder or any other folder, then deletes the source. The
// outcome is left in moveSource, moveTarget and newFolderPending.
class MoveWindow : public Form {
    Q_OBJECT

public:
    MoveWindow();

    void load() override;
    void unload() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void workingFolderOptionClicked();  // Option1_Click
    void otherFolderOptionClicked();    // Option2_Click
    void browseClicked();               // Command2_Click
    void moveClicked();                 // Command1_Click

    // The chosen destination folder, or "" when none is chosen or the text is not absolute.
    QString chosenFolder() const;
    // Puts moveTarget and newFolderPending back as they were before the move was tried.
    void abandonMove();
    int transfer(const QString& source, const QString& destination, TransferOutcome* outcome);

    QLabel* m_promptLabel;                // Label1
    QLabel* m_sourceLabel;                // Label2
    QRadioButton* m_workingFolderOption;  // Option1
    QListWidget* m_workingFolderList;     // List1
    QRadioButton* m_otherFolderOption;    // Option2
    QLineEdit* m_otherFolderEdit;         // Text1
    QPushButton* m_browseButton;          // Command2
    QCheckBox* m_unusedCheck;             // Check1
    QPushButton* m_moveButton;            // Command1

    QString m_moveDestination;
    QString m_browsedFolder;
    QString m_previousTarget;
    bool m_previousPending = false;
    bool m_transferring = false;
};

}  // namespace qm
