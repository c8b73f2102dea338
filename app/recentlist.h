#pragma once

#include <QString>
#include <QStringList>

namespace qm::recentlist {

// A list of the five most recent choices, most recent first, kept in the program's settings
// section as prefix + "0" to prefix + "4" ("lpd0" … for working folders, "lpl0" … for
// start-menu destinations).
inline constexpr int kRows = 5;

// The five stored rows; a missing value reads as missing.
QStringList load(const QString& prefix, const QString& missing);

// Writes rows 0 to 4; a row that does not exist is written as "".
void save(const QString& prefix, const QStringList& rows);

// The rows with key on top: every row among the first five that equals key without regard to
// case is removed first (unless key is empty), and a sixth row falls off the end.
QStringList putOnTop(QStringList rows, const QString& key);

}  // namespace qm::recentlist
