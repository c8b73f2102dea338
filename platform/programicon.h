#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>

namespace qm {

// A program's own icon, found by one rule, in this order: a Windows program's first icon group;
// an AppImage's ".DirIcon"; an icon its folder ships (a desktop file in the folder that names
// one, "share/icons/…" or "share/pixmaps/…" under the folder, or an image named like the
// program). Empty when the program has none of these.
struct ProgramIconFiles {
    QList<QImage> images;  // each size the program has
    QByteArray svg;        // a scalable icon, when the program has one
    QString origin;        // where it came from: "pe", "appimage", "desktop" or "folder"

    bool isEmpty() const { return images.isEmpty() && svg.isEmpty(); }
};
ProgramIconFiles programIconFiles(const QString& path);

// The icon shown for a program file at size px (32 for the large icon, 16 for the small one): its
// own icon as above, scaled when it has no image of that size, or else the platform's icon for
// that kind of file. A null pixmap when the file does not exist.
QPixmap programIcon(const QString& path, int size);

}  // namespace qm
