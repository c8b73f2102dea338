#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qm {

// Wraps s in double quotes when it holds a "." or a " " anywhere; otherwise returns it unchanged.
QString quoteIfNeeded(const QString& s);

// The path with trailing spaces removed and ending in one separator: a separator is added
// unless the untrimmed path already ended in one.
QString withTrailingBackslash(const QString& path);

// Splits an archiver command line into its words. Words are separated by spaces; a word that
// starts with a double quote ends at a double quote followed by a space or the end of the line,
// so quoted paths keep their spaces. A quoted path may hold quotes itself, which makes the line
// ambiguous: the first split that accept() takes is returned. Nothing when no split is accepted
// (a quoted word never closed, a quote inside an unquoted word).
std::optional<QStringList> splitCommandLine(
    const QString& line, const std::function<bool(const QStringList&)>& accept = {});

}  // namespace qm
