#include "shortcuts/shortcutwriter.h"

#include "app/helpers.h"
#include "platform/filesystem.h"
#include "shortcuts/desktopentry.h"
#include "shortcuts/shelllink.h"

namespace qm {
namespace {

// The link file's name without the shortcut extension: what a menu shows.
QString linkBaseName(const QString& linkPath, ShortcutFormat format) {
    QString name = lastPathPart(linkPath);
    const QString extension = shortcutExtension(format);
    if (name.endsWith(extension, Qt::CaseInsensitive)) {
        name.chop(extension.size());
    }
    return name;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    const FsPath folder = FsPath(path).parent();
    if (!fileSystem().status(folder.isEmpty() ? FsPath(QStringLiteral(".")) : folder).isFolder()) {
        throw ShortcutError("the folder of " + path.toStdString() + " does not exist");
    }
    QString error;
    // A shortcut is written again by the next rebuild: not worth a wait for the disk each.
    if (!fileSystem().writeFile(path, bytes, &error, Durability::Unsynced)) {
        throw ShortcutError("cannot write " + path.toStdString() + ": " + error.toStdString());
    }
}

}  // namespace

ShortcutFormat defaultShortcutFormat() {
#ifdef Q_OS_WIN
    return ShortcutFormat::ShellLink;
#else
    return ShortcutFormat::DesktopEntry;
#endif
}

QString shortcutExtension(ShortcutFormat format) {
    return format == ShortcutFormat::ShellLink ? QStringLiteral(".lnk")
                                               : QStringLiteral(".desktop");
}

void writeShortcut(const QString& linkPath, const QString& target, const QString& arguments,
                   const QString& workingDirectory, ShortcutFormat format,
                   const ShortcutExtras& extras) {
    if (linkPath.isEmpty() || lastPathPart(linkPath).isEmpty()) {
        throw ShortcutError("no link path");
    }
    if (target.isEmpty()) {
        throw ShortcutError("no target for " + linkPath.toStdString());
    }
    const QByteArray bytes = format == ShortcutFormat::ShellLink
                                 ? shellLink(target, arguments, workingDirectory)
                                 : desktopEntry(linkBaseName(linkPath, format), target, arguments,
                                                workingDirectory, extras);
    writeFile(linkPath, bytes);
}

}  // namespace qm
