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

std::optional<QStringList> splitCommandLine(const QString& line) {
    QStringList words;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && line.at(i) == u' ') {
            ++i;
        }
        if (i == n) {
            return words;
        }
        if (line.at(i) == u'"') {
            // The first quote that is followed by a space or the end closes the word.
            qsizetype close = i + 1;
            while (close < n &&
                   !(line.at(close) == u'"' && (close + 1 == n || line.at(close + 1) == u' '))) {
                ++close;
            }
            if (close == n) {
                return std::nullopt;
            }
            words.append(line.mid(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        const qsizetype start = i;
        while (i < n && line.at(i) != u' ') {
            if (line.at(i) == u'"') {
                return std::nullopt;
            }
            ++i;
        }
        words.append(line.mid(start, i - start));
    }
}

bool fitsCommandLine(const QString& path) {
    if (quoteIfNeeded(path) == path) {
        return !path.contains(u'"');
    }
    return !path.contains(QStringLiteral("\" "));
}

}  // namespace qm
