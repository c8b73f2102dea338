#include "platform/folderswap.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>

#include <cstdlib>

#include "platform/fileoperation.h"

namespace qm {
namespace {

bool renameEntry(const QString& from, const QString& to) {
    if (fileSystemRefuses(from) || fileSystemRefuses(to)) {
        return false;
    }
    return QDir().rename(from, to);
}

}  // namespace

QString makeStagingFolder(const QString& parent) {
    QByteArray pattern = QFile::encodeName(parent + QStringLiteral("/.quillmorn-XXXXXX"));
    if (parent.isEmpty() || fileSystemRefuses(parent) || !QDir().mkpath(parent) ||
        !mkdtemp(pattern.data())) {
        return QString();
    }
    const QString path = QFile::decodeName(pattern);
    // mkdtemp makes a folder only its owner may enter; the folder becomes a menu folder like any
    // other.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
    return path;
}

std::optional<QStringList> swapIntoPlace(const QString& parent, const QString& staged,
                                         const QString& name, const QStringList& replaced) {
    QList<QPair<QString, QString>> movedAside;  // (where it was, where it is)
    const auto putBack = [&movedAside] {
        for (auto it = movedAside.crbegin(); it != movedAside.crend(); ++it) {
            QDir().rename(it->second, it->first);
        }
    };
    for (const QString& old : replaced) {
        // An empty folder reserves the name; the rename then replaces it.
        const QString aside = makeStagingFolder(parent);
        const QString from = parent + u'/' + old;
        if (aside.isEmpty() || !QDir().rmdir(aside) || !renameEntry(from, aside)) {
            if (!aside.isEmpty()) {
                QDir().rmdir(aside);
            }
            putBack();
            return std::nullopt;
        }
        movedAside.append({from, aside});
    }
    if (!renameEntry(staged, parent + u'/' + name)) {
        putBack();
        return std::nullopt;
    }
    QStringList asidePaths;
    for (const auto& moved : std::as_const(movedAside)) {
        asidePaths << moved.second;
    }
    return asidePaths;
}

}  // namespace qm
