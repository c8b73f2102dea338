#pragma once

#include "app/form.h"

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace qm {

// The link window: rebuilds the shortcut tree of the current list folder every time it becomes
// active, and copies the shortcut trees of chosen list folders into a folder of the applications
// menu.
class LinkWindow : public Form {
    Q_OBJECT

public:
    explicit LinkWindow(QWidget* parent = nullptr);

    void load() override;
    void activate() override;
    void unload() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void setBusy(bool busy);
    // Command5 copies only when at least one list folder is chosen.
    void updateCopyButton();
    // Command1: the link rebuild.
    void rebuildLinks();
    // Command5: the copy into the applications menu.
    void copyToStartMenu();
    // Copies the selected list folders into destinationPath; false after a message.
    bool copySelectedListFolders(const QString& destinationPath);
    void rememberDestination(const QString& destination);
    // Combo1's items hold the remembered texts; they show the spelling of existing folders.
    QStringList rememberedDestinations() const;
    void showDestinations(const QStringList& remembered);

    QLabel* m_workFolderLabel = nullptr;     // Label2
    QLabel* m_noticeLabel = nullptr;         // Label6
    QListWidget* m_listFolders = nullptr;    // List1
    QLabel* m_instructionLabel = nullptr;    // Label7
    QLabel* m_destinationCaption = nullptr;  // Label8
    QLabel* m_exampleLabel = nullptr;        // Label9
    QComboBox* m_destination = nullptr;      // Combo1
    QPushButton* m_copyButton = nullptr;     // Command5
    QFrame* m_busyPanel = nullptr;           // Frame1 with Label4 and Label5
    QPushButton* m_rebuildButton = nullptr;  // Command1, never shown
    bool m_busy = false;
    bool m_wineNoted = false;  // the note on a missing wine is given once
};

}  // namespace qm
