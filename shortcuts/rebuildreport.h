#pragma once

#include <QList>
#include <QString>

#include "shortcuts/linktree.h"

namespace qm {

// What the link window tells the user after a rebuild that left records out: one line per
// record with its name and why. "" when nothing was left out.
QString skippedRecordsReport(const QList<SkippedRecord>& skipped);

// True when one of the records that got a shortcut starts a Windows program, which its shortcut
// does through wine, and wine is not installed: desktop menus then hide that entry.
bool needsMissingWine(const QList<CatalogueEntry>& records);

}  // namespace qm
