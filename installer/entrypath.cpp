#include "installer/entrypath.h"

#include <QList>

namespace qm {
namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

QList<QByteArray> parts(const QByteArray& path) {
    QList<QByteArray> result;
    QByteArray current;
    for (const char c : path) {
        if (isSeparator(c)) {
            result.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    result.append(current);
    return result;
}

bool isAbsolute(const QByteArray& path) {
    // A leading separator, or a drive ("C:") as the first part.
    if (path.isEmpty()) {
        return false;
    }
    if (isSeparator(path.at(0))) {
        return true;
    }
    return path.size() >= 2 && path.at(1) == ':' &&
           ((path.at(0) >= 'A' && path.at(0) <= 'Z') || (path.at(0) >= 'a' && path.at(0) <= 'z'));
}

}  // namespace

bool isSafeEntryPath(const QByteArray& name) {
    if (name.isEmpty() || isAbsolute(name)) {
        return false;
    }
    for (const QByteArray& part : parts(name)) {
        if (part == "..") {
            return false;
        }
    }
    return true;
}

bool isSafeLinkTarget(const QByteArray& name, const QByteArray& target) {
    if (target.isEmpty() || isAbsolute(target) || !isSafeEntryPath(name)) {
        return false;
    }
    // Depth below the extraction folder of the folder that holds the link.
    QList<QByteArray> folder = parts(name);
    folder.removeLast();
    qsizetype depth = 0;
    for (const QByteArray& part : folder) {
        if (!part.isEmpty() && part != ".") {
            ++depth;
        }
    }
    for (const QByteArray& part : parts(target)) {
        if (part.isEmpty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (depth == 0) {
                return false;
            }
            --depth;
        } else {
            ++depth;
        }
    }
    return true;
}

}  // namespace qm
