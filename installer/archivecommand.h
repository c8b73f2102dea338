#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// Wraps s in double quotes when it holds a "." or a " " anywhere; otherwise returns it unchanged.
QString quoteIfNeeded(const QString& s);

// The path with trailing spaces removed and ending in one separator: a separator is added
// unless the untrimmed path already ended in one.
QString withTrailingBackslash(const QString& path);

// Splits an archiver command line into its words, in one pass. Words are separated by spaces; a
// word that starts with a double quote ends at the first double quote followed by a space or the
// end of the line, so quoted paths keep their spaces. Nothing when the line cannot be split (a
// quoted word never closed, a quote inside an unquoted word).
std::optional<QStringList> splitCommandLine(const QString& line);

// True when path, written into a command line as quoteIfNeeded writes it, comes back as the same
// one word: it holds no double quote followed by a space, and no double quote at all when it
// would not be quoted.
bool fitsCommandLine(const QString& path);

}  // namespace qm
