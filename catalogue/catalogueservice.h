#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "catalogue/listfile.h"
#include "platform/filesystem.h"

namespace qm {

class CatalogueModel;
class EventPump;

// What the catalogue does with its list file and its program folders, apart from any widget:
// builds the rows from the working folder and the list file, saves them (keeping a copy of a
// misread list first), and deletes, launches, opens and moves the folder of a row. It acts on
// the working folder and list folder it was given, whatever the program state says later.
// Questions and reports go through the prompt service.
class CatalogueService {
    Q_DECLARE_TR_FUNCTIONS(qm::CatalogueService)

public:
    explicit CatalogueService(CatalogueModel& model);

    void setFolders(const QString& workFolder, const QString& listFolder);
    const QString& workFolder() const { return m_workFolder; }
    const QString& listFolder() const { return m_listFolder; }
    CatalogueModel& model() const { return m_model; }

    // True when the rows differ from the list file.
    bool listChanged() const { return m_listChanged; }
    void markChanged() { m_listChanged = true; }

    // Rebuilds the rows: one per sub-folder, merged with the list file's records. Says so when
    // the list file was misread; its first save then keeps a copy of it.
    void load(EventPump& pump);
    // The folder names of the rows (those that have one).
    QStringList folderNames() const;
    // Says which moves into the folders named in marked (those holding the mark an unfinished
    // move leaves) are unfinished, and from where; nothing when none is.
    void tellUnfinishedMoves(const QStringList& marked);
    // Gives registered rows whose program exists that program's icon, to the rows in `first`
    // before the others.
    void refreshIcons(EventPump& pump, const std::vector<int>& first = {});

    enum class SaveOutcome {
        Unchanged,  // nothing to save: nothing asked, nothing written
        Declined,   // the user chose not to save; the list counts as saved
        Saved,
        Failed,    // reported; the rows stay changed so that nothing is lost
        Reloaded,  // the list changed on disk and was read again instead; nothing written
    };
    // Asks whether to save a changed list and writes it.
    SaveOutcome save();

    // Asks, then deletes the folder of a row; true when the row was removed because the folder
    // is gone.
    bool deleteRow(int row);
    // Starts the registered program of a row; nothing for a row without one.
    void launchRow(int row);
    // Opens the folder of a row in the file manager.
    void openRow(int row);
    // Hands the folder of a row to the move window, which showMoveWindow shows (false when the
    // catalogue went away meanwhile); true when the row was removed because the folder moved.
    bool moveRow(int row, const std::function<bool()>& showMoveWindow);

    // The full path of a row's folder.
    QString folderPathOfRow(int row) const;

private:
    // True when the row's folder text is one plain folder name; says so when it is not.
    bool checkFolderName(int row) const;
    // Another program (a second instance on the same list folder) changed the list file since it
    // was loaded: asks whether to reload it, overwrite it or keep both; the path to write, or ""
    // when the list was reloaded instead.
    QString resolveChangedList(const QString& path);
    // Says which records go at the next save because their folders are gone.
    void tellMissingFolders(const QStringList& folders);

    CatalogueModel& m_model;
    QString m_workFolder;
    QString m_listFolder;
    bool m_listChanged = false;
    // The list file was misread: the first save keeps a copy of it.
    bool m_listNeedsBackup = false;
    // The list file as it was when loaded or last saved.
    FileStatus m_listOnDisk;
    // Records of existing folders that have no row (hidden ones): saved as they were read.
    QList<CatalogueEntry> m_unlisted;
};

}  // namespace qm
