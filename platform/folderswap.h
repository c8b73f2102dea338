#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// Replacing folders by one built beside them, so that nothing is lost before its replacement is
// whole.

// Makes a new, empty, hidden folder in parent (created when missing) under a name nothing else has;
// "" on failure.
QString makeStagingFolder(const QString& parent);

// Moves the folders named in replaced (all in parent) aside under unused hidden names, then
// renames staged to parent/name. Gives back the paths the old folders now have, for the caller
// to delete. When a rename fails, what was moved is put back and nullopt is returned.
std::optional<QStringList> swapIntoPlace(const QString& parent, const QString& staged,
                                         const QString& name, const QStringList& replaced);

}  // namespace qm
