#pragma once

#include <QByteArray>

namespace qm {

// Checks on the names an archive gives its entries, as raw bytes in the local encoding. Both "/"
// and "\" count as separators, so that a name is judged the same on every platform.

// True when name stays inside the folder it is extracted into: not empty, not absolute, and
// without a ".." part.
bool isSafeEntryPath(const QByteArray& name);

// True when a symbolic link entry called name, pointing at target, leads to a place inside the
// extraction folder when its path is resolved by its parts alone.
bool isSafeLinkTarget(const QByteArray& name, const QByteArray& target);

}  // namespace qm
