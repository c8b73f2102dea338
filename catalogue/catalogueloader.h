#pragma once

#include <QString>

namespace qm {

class CatalogueModel;
class EventPump;

// The placeholder texts of a folder that has no record yet.
inline constexpr char16_t kNotSet[] = u"未設定";
inline constexpr char16_t kUnknownExe[] = u"不明";

// True when exe names an existing program file by a full path. A relative text (such as the
// placeholder "不明") never counts, whatever the current folder holds.
bool programFileExists(const QString& exe);

// Replaces the rows with one unregistered row per sub-folder of the working folder, in the
// folder listing's order.
void scanWorkingFolder(CatalogueModel& model, const QString& workFolder, EventPump& pump);

// Merges the records of the list file into rows just scanned: a record whose folder exists updates
// the first row holding its folder text; a record whose folder is gone is dropped. Every record's
// category is collected. Reading stops quietly at a broken record; a missing or unreadable file
// changes nothing. Returns true when a record was dropped because its folder is gone.
bool mergeListFile(CatalogueModel& model, const QString& workFolder, const QString& listFile,
                   EventPump& pump);

// Gives every registered row whose program file exists that program's icon. Excluded and
// unregistered rows keep their marks.
void refreshIcons(CatalogueModel& model, EventPump& pump);

}  // namespace qm
