#include "installer/archivecommand.h"

#include "platform/paths.h"

namespace qm {
namespace {

QString trimTrailingSpaces(const QString& s) {
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == u' ') {
        --end;
    }
    return s.left(end);
}

}  // namespace

QString quoteIfNeeded(const QString& s) {
    if (s.contains(u'.') || s.contains(u' ')) {
        return u'"' + s + u'"';
    }
    return s;
}

QString withTrailingBackslash(const QString& path) {
    if (path.endsWith(kSeparator)) {
        return trimTrailingSpaces(path);
    }
    return trimTrailingSpaces(path) + kSeparator;
}

namespace {

using Acceptor = std::function<bool(const QStringList&)>;

// Splits line from position i onwards after the words found so far; backtracks over the
// possible ends of quoted words.
std::optional<QStringList> splitFrom(const QString& line, qsizetype i, QStringList& words,
                                     const Acceptor& accept) {
    const qsizetype n = line.size();
    while (i < n && line.at(i) == u' ') {
        ++i;
    }
    if (i == n) {
        if (!accept || accept(words)) {
            return words;
        }
        return std::nullopt;
    }
    if (line.at(i) == u'"') {
        for (qsizetype close = i + 1; close < n; ++close) {
            if (line.at(close) != u'"' || (close + 1 < n && line.at(close + 1) != u' ')) {
                continue;
            }
            words.append(line.mid(i + 1, close - i - 1));
            if (std::optional<QStringList> found = splitFrom(line, close + 1, words, accept)) {
                return found;
            }
            words.removeLast();
        }
        return std::nullopt;
    }
    qsizetype end = i;
    while (end < n && line.at(end) != u' ') {
        if (line.at(end) == u'"') {
            return std::nullopt;
        }
        ++end;
    }
    words.append(line.mid(i, end - i));
    std::optional<QStringList> found = splitFrom(line, end, words, accept);
    words.removeLast();
    return found;
}

}  // namespace

std::optional<QStringList> splitCommandLine(const QString& line, const Acceptor& accept) {
    QStringList words;
    return splitFrom(line, 0, words, accept);
}

}  // namespace qm
