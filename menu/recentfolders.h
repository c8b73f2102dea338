#pragma once

#include <QString>
#include <QStringList>

namespace qm {

// The main menu's recent-folder list: the working folders chosen last, most recent first, as they
// are spelt (earlier versions kept lower case). It is kept in the settings store as "lpd0" to
// "lpd4"; empty rows are rows too.
namespace recentfolders {

inline constexpr int kRows = 5;

// The stored rows, "lpd0" first; a missing value is an empty row.
QStringList load();

// Writes rows 0 to 4 to "lpd0" to "lpd4"; a missing row is written as "".
void save(const QStringList& rows);

// The rows with key on top: every row among the first five that is key, or an old lower-cased
// row of the same folder, is removed first (unless key is empty), and a sixth row falls off the
// end.
QStringList putOnTop(QStringList rows, const QString& key);

}  // namespace recentfolders

// The folder as it is spelt on disk when path itself does not exist but exactly one folder that
// differs only in letter case does (an old lower-cased recent row); else path unchanged. Each
// part follows the one rule for letter case (see matchNameNoCase()).
QString resolveFolderCase(const QString& path);

}  // namespace qm
