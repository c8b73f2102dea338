#pragma once

#include <memory>
#include <optional>

#include "app/form.h"
#include "catalogue/catalogueservice.h"
#include "catalogue/elasticplacement.h"
#include "catalogue/registrationsession.h"

class QAction;
class QLabel;
class QListWidget;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

namespace qm {

class CatalogueModel;
class CatalogueFilter;
class CatalogueFilterBar;
class ListColumns;
class ListSelection;
class ListSort;
class FolderPreview;
class UnfinishedMoveSurvey;
class IconLoader;

// The catalogue window (Form1) of one working folder: every program folder with its
// registration, a preview of the selected folder's text files, and the actions on the selected
// entry. Rebuilt from the disk and the list file each time it opens; offers to save when it
// closes.
class CatalogueWindow : public Form {
    Q_OBJECT

public:
    CatalogueWindow();
    ~CatalogueWindow() override;

    void load() override;
    void activate() override;
    bool queryUnload() override;
    void unload() override;

    bool listChanged() const { return m_service.listChanged(); }
    bool switchingWindow() const { return m_switchingWindow; }
    bool compactLayout() const;

    // The hidden procedures of the window.
    void loadDirectory();  // Command3 "load dir": scan the working folder, merge the list file
    bool saveList();       // Command4 "save list"; false when the list could not be written
    void editSelected();   // Command8: edit the selected entry
    void refreshIcons();   // Command9: icon refresh

    // The actions on the selected entry.
    void launchSelected();      // Command10 "起 動"
    void openSelectedFolder();  // Command11 "開 く"
    void moveSelected();        // Command1 "移 動"
    void deleteSelected();      // Command13 "削 除"
    void registerAll();         // Command7 "順次登録"
    void registerUnregistered(bool sayNothingAdded);
    void backToMenu();  // Command12 "メニューに戻る"

    // The working folder and list folder the window was loaded with; it acts on these until it
    // closes, whatever another window chooses meanwhile.
    QString workFolder() const { return m_service.workFolder(); }
    QString listFolder() const { return m_service.listFolder(); }
    CatalogueService& service() { return m_service; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void place(QWidget* widget, int left, int top, int width, int height,
               ElasticPlacement::Share share);
    void applyLayout(bool compact);
    void showInstallerAndClose();
    void exitWindow();
    // Closes the window to go on elsewhere; the next window (if any) is shown only once the
    // window has closed, so that a list that could not be saved never stays open beside it.
    void closeAndHandOver(std::optional<WindowKind> next);
    // Puts the window's own folders into the program state for the window it hands over to.
    void handOverFolders() const;
    bool showModalWindowHere(WindowKind kind);
    void selectRow(int row);
    int selectedRow() const;
    void previewRow(int row);
    RegistrationSession::Hooks registrationHooks();

    CatalogueModel* m_model;
    CatalogueFilter* m_filter;
    CatalogueFilterBar* m_filterBar = nullptr;
    CatalogueService m_service;
    std::unique_ptr<ListSort> m_sort;
    std::unique_ptr<ListSelection> m_selection;
    std::unique_ptr<FolderPreview> m_preview;
    UnfinishedMoveSurvey* m_moveSurvey = nullptr;
    IconLoader* m_iconLoader = nullptr;
    ElasticPlacement m_placement;

    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QTreeView* m_listView = nullptr;
    ListColumns* m_columns = nullptr;
    QPushButton* m_menuButton = nullptr;
    QPushButton* m_registerAllButton = nullptr;
    QLabel* m_titleLabel = nullptr;
    // What the list covers in the compact layout.
    QList<QWidget*> m_explanation;
    QLabel* m_iconPicture = nullptr;
    QListWidget* m_textFiles = nullptr;
    QPlainTextEdit* m_textPreview = nullptr;
    QAction* m_compactAction = nullptr;
    QAction* m_registerAtStartAction = nullptr;

    std::optional<WindowKind> m_nextWindow;
    bool m_linksDue = false;

    bool m_switchingWindow = false;
    bool m_autoRegistrationDone = false;
};

}  // namespace qm
