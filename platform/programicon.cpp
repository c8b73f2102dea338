#include "platform/programicon.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include "platform/appimage.h"
#include "platform/desktopfile.h"
#include "platform/filesystem.h"
#include "platform/peicon.h"
#include "platform/programkind.h"
#include "platform/regularfile.h"

namespace qm {
namespace {

constexpr qint64 kMaxIconFile = 4 * 1024 * 1024;
constexpr qint64 kMaxDesktopFile = 64 * 1024;
constexpr int kMaxDesktopFiles = 16;

QByteArray readSmallFile(const QString& path, qint64 maxSize) {
    QFile file;
    if (!openRegularFile(file, path) || file.size() > maxSize) {
        return {};
    }
    return file.read(maxSize);
}

// The names of a folder's entries that pass keep, sorted.
QStringList entryNames(const QString& folder, bool (*keep)(const FolderEntry&)) {
    QStringList names;
    for (const FolderEntry& entry : fileSystem().list(folder).value_or(QList<FolderEntry>())) {
        if (keep(entry)) {
            names.append(entry.name);
        }
    }
    names.sort();
    return names;
}

QString inFolder(const QString& folder, const QString& name) {
    return FsPath(folder).child(name).text();
}

// Adds an image file (PNG, SVG, ICO, XPM) to files.
bool addImageFile(ProgramIconFiles& files, const QString& path) {
    const QByteArray bytes = readSmallFile(path, kMaxIconFile);
    if (bytes.isEmpty()) {
        return false;
    }
    if (isSvg(bytes)) {
        if (!decodeIcon(bytes, 32).isNull()) {
            files.svg = bytes;
            return true;
        }
        return false;
    }
    const QImage image = decodeIcon(bytes, 0);
    if (image.isNull()) {
        return false;
    }
    files.images.append(image);
    return true;
}

// Icons called name under a folder: an image file itself, then the sizes of a hicolor theme
// and the pixmaps folder below it.
bool addNamedIcon(ProgramIconFiles& files, const QString& folder, const QString& name) {
    if (name.isEmpty() || name.contains(u'/')) {
        return false;
    }
    const QStringList extensions = {QStringLiteral(".png"), QStringLiteral(".svg"),
                                    QStringLiteral(".xpm"), QStringLiteral(".ico")};
    for (const QString& extension : extensions) {
        if (addImageFile(files, inFolder(folder, name + extension))) {
            return true;
        }
    }
    const QString theme = inFolder(folder, QStringLiteral("share/icons/hicolor"));
    const auto isFolder = [](const FolderEntry& entry) { return entry.status.isFolder(); };
    for (const QString& size : entryNames(theme, isFolder)) {
        for (const QString& extension : extensions) {
            addImageFile(files,
                         inFolder(theme, size + QStringLiteral("/apps/") + name + extension));
        }
    }
    if (!files.isEmpty()) {
        return true;
    }
    for (const QString& extension : extensions) {
        if (addImageFile(files,
                         inFolder(folder, QStringLiteral("share/pixmaps/") + name + extension))) {
            return true;
        }
    }
    return false;
}

// An icon the folder of the program ships.
bool addFolderIcon(ProgramIconFiles& files, const QString& path) {
    const FsPath programPath(path);
    const QString folder = programPath.parent().text();
    const QString fileName = programPath.fileName();
    const QString base = fileName.left(fileName.lastIndexOf(u'.') > 0 ? fileName.lastIndexOf(u'.')
                                                                      : fileName.size());
    // A desktop file of the program in its folder that names an icon.
    const auto isDesktopFile = [](const FolderEntry& entry) {
        return entry.status.isFile() && entry.name.endsWith(QLatin1String(".desktop"));
    };
    for (const QString& name : entryNames(folder, isDesktopFile).mid(0, kMaxDesktopFiles)) {
        const QHash<QString, QString> values =
            desktopEntryValues(readSmallFile(inFolder(folder, name), kMaxDesktopFile));
        // The desktop file of this program: named like it, or starting it.
        const bool ours = name.chopped(8) == base ||
                          values.value(QStringLiteral("Exec")).contains(fileName) ||
                          values.value(QStringLiteral("TryExec")).contains(fileName);
        const QString icon = ours ? values.value(QStringLiteral("Icon")) : QString();
        if (icon.startsWith(u'/') ? addImageFile(files, icon) : addNamedIcon(files, folder, icon)) {
            files.origin = QStringLiteral("desktop");
            return true;
        }
    }
    // share/icons/… under the folder, or an image named like the program.
    if (addNamedIcon(files, folder, base) ||
        (base != fileName && addNamedIcon(files, folder, fileName))) {
        files.origin = QStringLiteral("folder");
        return true;
    }
    return false;
}

}  // namespace

ProgramIconFiles programIconFiles(const QString& path) {
    ProgramIconFiles files;
    if (!fileSystem().status(path).isFile()) {
        return files;
    }
    const ProgramKind kind = programKind(path);
    if (kind == ProgramKind::Windows || path.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        files.images = peIconImages(path);
        if (!files.isEmpty()) {
            files.origin = QStringLiteral("pe");
            return files;
        }
    }
    if (kind == ProgramKind::AppImage) {
        const QByteArray icon = readAppImage(path).icon;
        if (isSvg(icon) && !decodeIcon(icon, 32).isNull()) {
            files.svg = icon;
        } else if (const QImage image = decodeIcon(icon, 0); !image.isNull()) {
            files.images.append(image);
        }
        if (!files.isEmpty()) {
            files.origin = QStringLiteral("appimage");
            return files;
        }
    }
    addFolderIcon(files, path);
    return files;
}

QPixmap programIcon(const QString& path, int size) {
    if (!fileSystem().status(path).isFile()) {
        return QPixmap();
    }
    // The Windows icon group comes first; only its image nearest the size is decoded.
    const QImage windowsIcon = peIconFromFile(path, size);
    if (!windowsIcon.isNull()) {
        return QPixmap::fromImage(windowsIcon);
    }
    const ProgramIconFiles files = programIconFiles(path);
    if (!files.svg.isEmpty()) {
        return QPixmap::fromImage(decodeIcon(files.svg, size));
    }
    if (!files.images.isEmpty()) {
        // The image nearest the size, a larger one before a smaller one.
        const QImage* best = &files.images.first();
        const auto distance = [size](const QImage& image) {
            const int d = image.width() - size;
            return d >= 0 ? 2 * d : -2 * d + 1;
        };
        for (const QImage& image : files.images) {
            if (distance(image) < distance(*best)) {
                best = &image;
            }
        }
        QImage image = *best;
        if (image.size() != QSize(size, size)) {
            image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        return QPixmap::fromImage(image);
    }
    static QFileIconProvider provider;
    return provider.icon(QFileInfo(FsPath(path).shown())).pixmap(size, size);
}

}  // namespace qm
