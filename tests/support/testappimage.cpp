#include "support/testappimage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

namespace qm::test {
namespace {

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

QByteArray buildAppImage(const QString& scratch, const AppImageParts& parts, int type) {
    const QString root = scratch + QStringLiteral("/AppDir");
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    for (auto it = parts.files.begin(); it != parts.files.end(); ++it) {
        const QString path = root + u'/' + it.key();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size()) {
            return {};
        }
    }
    for (auto it = parts.links.begin(); it != parts.links.end(); ++it) {
        const QString path = root + u'/' + it.key();
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!QFile::link(it.value(), path)) {
            return {};
        }
    }
    const QString image = scratch + QStringLiteral("/image");
    QFile::remove(image);
    QByteArray runtime = readAll(QStringLiteral("/bin/true"));
    if (runtime.size() < 64) {
        return {};
    }
    if (type == 2) {
        if (!run(QStringLiteral("mksquashfs"),
                 {root, image, QStringLiteral("-noappend"), QStringLiteral("-quiet"),
                  QStringLiteral("-all-root"), QStringLiteral("-no-progress")})) {
            return {};
        }
        runtime.replace(8, 3, QByteArray("AI\x02", 3));
        return runtime + readAll(image);
    }
    if (!run(QStringLiteral("bsdtar"),
             {QStringLiteral("--format"), QStringLiteral("iso9660"), QStringLiteral("-cf"), image,
              QStringLiteral("-C"), root, QStringLiteral(".")})) {
        return {};
    }
    // The ELF header in the ISO's unused system area.
    QByteArray iso = readAll(image);
    iso.replace(0, 64, runtime.left(64));
    iso.replace(8, 3, QByteArray("AI\x01", 3));
    return iso;
}

QByteArray appDesktopEntry() {
    return QStringLiteral(
               "[Desktop Entry]\nType=Application\nName=Tool\nName[ja]=ツール\n"
               "Comment=Does things\nComment[ja]=いろいろする\nExec=tool\nIcon=tool\n"
               "Categories=Utility;\nStartupWMClass=ToolWindow\n")
        .toUtf8();
}

QByteArray pngImage(int side, QRgb colour) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace qm::test
