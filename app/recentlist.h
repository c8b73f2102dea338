#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace qm::recentlist {

// A list of the five most recent choices, most recent first, kept in the program's settings
// section as prefix + "0" to prefix + "4" ("lpd0" … for working folders, "lpl0" … for
// start-menu destinations).
inline constexpr int kRows = 5;

// The five stored rows; a missing value reads as missing.
QStringList load(const QString& prefix, const QString& missing);

// Writes rows 0 to 4; a row that does not exist is written as "".
void save(const QString& prefix, const QStringList& rows);

// Rows are kept in their real spelling. Earlier versions kept them lower-cased; resolve turns
// such an old row into the real spelling of the one folder it can stand for (or leaves it as it
// is when it stands for none or for several).
using RowResolver = std::function<QString(const QString& row)>;

// The rows with key on top: every row among the first five that is key, or an old lower-cased
// row that resolve turns into key, is removed first (unless key is empty), and a sixth row falls
// off the end. A row in another spelling names another folder and stays.
QStringList putOnTop(QStringList rows, const QString& key, const RowResolver& resolve = {});

}  // namespace qm::recentlist
