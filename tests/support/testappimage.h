#pragma once

#include <QByteArray>
#include <QMap>
#include <QRgb>
#include <QString>

namespace qm::test {

// The parts of a test AppImage: files (path inside the image -> bytes) and symbolic links
// (path -> target).
struct AppImageParts {
    QMap<QString, QByteArray> files;
    QMap<QString, QString> links;
};

// Builds an AppImage from parts in scratch (an existing folder): a copy of a small ELF program
// with the AppImage magic at offset 8, followed by an image made by mksquashfs (type 2) or an
// ISO 9660 image made by bsdtar (type 1). Empty when a tool is missing.
QByteArray buildAppImage(const QString& scratch, const AppImageParts& parts, int type = 2);

// An AppImage's desktop entry: Name "Tool" ("ツール" in Japanese), Comment "Does things"
// ("いろいろする"), StartupWMClass "ToolWindow".
QByteArray appDesktopEntry();

// A square PNG image of side px in one colour.
QByteArray pngImage(int side, QRgb colour = 0xff3080c0);

}  // namespace qm::test
