#pragma once

#include "app/form.h"
#include "app/installablefile.h"
#include "installer/extractionrunner.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace qm {

class PathLabel;

// The installer window: takes a dropped or chosen archive (or a single program file), extracts it
// into a new folder of the working folder and hands that folder to the catalogue; can also put a
// menu shortcut to itself.
class InstallerWindow : public Form, public ExtractionProgressSink {
    Q_OBJECT

public:
    explicit InstallerWindow(QWidget* parent = nullptr);

    void load() override;
    void unload() override;
    // A file handed over meanwhile ("Open with" while the program runs) is taken here.
    void activate() override;
    bool canBeLeft() const override { return !m_busy; }

    void extractionStarted() override;
    void extractionProgress(const ExtractionProgress& progress) override;
    void extractionFinished() override;
    bool extractionCancelRequested() const override { return m_cancelRequested; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void filesDropped(const QStringList& paths);
    void chooseFileClicked();
    // Takes a dropped, chosen or opened file as the pending one when it can be installed.
    void fileChosen(const QString& file);
    void installClicked();
    void registerShortcutClicked();
    void backToMenuClicked();

    // Extracts the pending archive; true when it is in place.
    bool extractPending(InstallKind kind);
    // Offers the archive's setup program; true when it was started (and the program ended).
    bool offerSetup();

    QWidget* m_dropPicture = nullptr;
    QLabel* m_dropImage = nullptr;
    PathLabel* m_archiveLabel = nullptr;
    PathLabel* m_destinationLabel = nullptr;
    QPushButton* m_installButton = nullptr;
    QPushButton* m_shortcutButton = nullptr;
    QPushButton* m_menuButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progress = nullptr;
    InstallKind m_pendingKind = InstallKind::None;
    bool m_busy = false;
    bool m_cancelRequested = false;
    bool m_closeWhenDone = false;
};

}  // namespace qm
