#pragma once

#include <QStringList>

#include "app/form.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

// The main menu: the user chooses the working folder (from the recent-folder list or by
// browsing), prepares its list folder, and goes on to the catalogue, the installer, the link
// window or the list folder in the file manager.
class MainMenuWindow : public Form {
    Q_OBJECT

public:
    explicit MainMenuWindow(QWidget* parent = nullptr);

    void load() override;
    void unload() override;
    bool canBeLeft() const override { return true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Which of the two button groups is enabled.
    enum class Buttons { None, Prepared, NotPrepared };

    void buildControls();
    void layOutControls();
    void connectControls();
    void setButtons(Buttons buttons);

    // "参照": takes the folder from the list when pickFromCombo is set, else asks for one.
    void browse();
    // A row picked from the list.
    void pickFromList(int row);
    // Makes folder the working folder and puts it on top of the recent-folder list.
    void chooseFolder(const QString& folder);
    // A folder typed into Combo1 and taken with Enter.
    void chooseTypedFolder(const QString& typed);
    // The box always shows the working folder, whatever was put into it.
    void showWorkFolder();
    void fillRecentRows();

    void prepare();
    void openCatalogue();
    void openInstaller();
    void openLinks();
    void openListFolder();
    void quit();

    QLabel* m_titleLabel = nullptr;
    QLabel* m_subtitleLabel = nullptr;
    QLabel* m_folderCaption = nullptr;
    QComboBox* m_folderBox = nullptr;
    QPushButton* m_browseButton = nullptr;
    QPushButton* m_prepareButton = nullptr;
    QLabel* m_prepareLabel = nullptr;
    QPushButton* m_catalogueButton = nullptr;
    QLabel* m_catalogueLabel = nullptr;
    QPushButton* m_installerButton = nullptr;
    QLabel* m_installerLabel = nullptr;
    QPushButton* m_linksButton = nullptr;
    QLabel* m_linksLabel = nullptr;
    QFrame* m_line = nullptr;
    QPushButton* m_openFolderButton = nullptr;
    QPushButton* m_quitButton = nullptr;
    QLineEdit* m_spareText = nullptr;

    // The next browse() takes the folder from the list instead of asking.
    bool pickFromCombo = false;
    // The chosen folder as it is spelt on disk, as the recent-folder list keeps it.
    QString chosenFolderKey;
    QStringList m_recentRows;
};

}  // namespace qm
