#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

namespace qm {

// What an AppImage says about itself, read in process without running or mounting it: a type-2
// image is an ELF runtime followed by a SquashFS image (read with libsquashfs), a type-1 image
// an ISO 9660 image (read with libarchive). Only ".DirIcon" and the top-level desktop file are
// read. Every size is bounded and links are followed inside the image only, a few deep: a
// damaged or hostile image gives an empty result, never a crash or a hang.
struct AppImageContents {
    QByteArray icon;          // ".DirIcon": PNG or SVG bytes; empty when there is none
    QByteArray desktopEntry;  // the top-level "*.desktop" file; empty when there is none
};

inline constexpr qint64 kMaxAppImageIcon = 4 * 1024 * 1024;
inline constexpr qint64 kMaxAppImageDesktopEntry = 256 * 1024;
inline constexpr int kMaxAppImageLinks = 8;

// Reads an open, seekable device holding a whole AppImage.
AppImageContents readAppImage(QIODevice& device);
// The same for a file; empty when it is no AppImage.
AppImageContents readAppImage(const QString& path);

// An icon's bytes (PNG, SVG or any format Qt reads) as an image of size x size, or at its own
// size when size is 0. A null image when the bytes are no image.
QImage decodeIcon(const QByteArray& bytes, int size);

// True when bytes look like an SVG document.
bool isSvg(const QByteArray& bytes);

}  // namespace qm
