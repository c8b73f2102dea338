#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "catalogue/listfile.h"

#include <vector>

namespace qm {

class CatalogueModel;
class EventPump;

// The placeholder texts of a folder that has no record yet.
inline constexpr char16_t kNotSet[] = u"未設定";
inline constexpr char16_t kUnknownExe[] = u"不明";

// True when exe names an existing program file by a full path. A relative text (such as the
// placeholder "不明") never counts, whatever the current folder holds.
bool programFileExists(const QString& exe);

// The program file as it is spelt on disk (its name may differ from exe in letter case), for
// starting it or reading its icon; "" when programFileExists(exe) is false.
QString programFileOnDisk(const QString& exe);

// Replaces the rows with one unregistered row per sub-folder of the working folder, in the
// folder listing's order.
void scanWorkingFolder(CatalogueModel& model, const QString& workFolder, EventPump& pump);

// What merging a list file came to.
struct MergeResult {
    // A record was dropped because its folder is gone.
    bool dropped = false;
    // The file was not read to a clean end, or a record's fields did not line up (a state that
    // is not a number, or a folder that matches no sub-folder while the record's name does):
    // records may have been misread or dropped, and the file deserves a copy before it is
    // replaced.
    bool misread = false;
    // The folder texts of the records that were dropped because their folder is gone.
    QStringList missingFolders;
    // Records of folders that exist but are not listed (hidden ones): they have no row, and
    // are written back as they were.
    QList<CatalogueEntry> unlisted;
};

// Merges the records of the list file into rows just scanned: a record updates the row of its
// folder (the same text, else the one folder that differs only in letter case); a record whose
// folder is gone is dropped. Every record's category is collected. Reading stops at a broken
// record; a missing or unreadable file changes nothing.
MergeResult mergeListFile(CatalogueModel& model, const QString& workFolder, const QString& listFile,
                          EventPump& pump);

// Gives a registered row whose program file exists that program's icon; excluded and
// unregistered rows keep their marks. Rows that start the same program share its image.
class RowIcons {
public:
    explicit RowIcons(CatalogueModel& model) : m_model(model) {}
    void load(int row);

private:
    CatalogueModel& m_model;
    QHash<QString, int> m_imageOfExe;
};

// Every row once: those in `first` (the rows the list shows, in its order), then the others.
std::vector<int> rowsInOrder(int rowCount, const std::vector<int>& first);

// Gives every row its icon (see RowIcons), the rows in `first` before the others.
void refreshIcons(CatalogueModel& model, const std::vector<int>& first, EventPump& pump);

}  // namespace qm
