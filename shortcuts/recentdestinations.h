#pragma once

#include <QStringList>

namespace qm {

// The five most recent start-menu destinations, most recent first, kept as "lpl0" … "lpl4".

// What a slot that was never written shows.
QString notAvailable();

// The five stored destinations; a slot never written reads "(N/A)".
QStringList loadRecentDestinations();

// Stores items 0 to 4; an item that does not exist is stored as "".
void storeRecentDestinations(const QStringList& items);

// The list after used was chosen: used goes first as it is spelt, the same destination (equal, or
// an old lower-cased item of its one folder) leaves the first five, and the list keeps at most
// five items.
QStringList withRecentDestination(QStringList items, const QString& used);

}  // namespace qm
