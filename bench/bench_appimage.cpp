// Reading an AppImage's icon and desktop entry, and the link rebuild of 1,000 programs that each
// have an icon of their own (the figure to hold against link_rebuild_1000).

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "bench/benchmark.h"
#include "catalogue/listfile.h"
#include "platform/appimage.h"
#include "platform/desktopfile.h"
#include "shortcuts/linktree.h"

namespace {

constexpr int kRuns = 7;
constexpr qint64 kPayload = 100 * 1024 * 1024;

QByteArray png(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(0xff3080c0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A 100 MB AppImage: a small ELF runtime, then an uncompressed image holding the icon, the
// desktop entry and 100 MB of program data.
QString buildLargeAppImage(const QString& folder) {
    const QString root = folder + QStringLiteral("/AppDir");
    writeFile(root + QStringLiteral("/.DirIcon"), png(256));
    writeFile(root + QStringLiteral("/tool.desktop"),
              "[Desktop Entry]\nType=Application\nName=Tool\nName[ja]=ツール\nExec=tool\n"
              "Icon=tool\nStartupWMClass=Tool\n");
    QFile payload(root + QStringLiteral("/usr/bin/tool"));
    QDir().mkpath(root + QStringLiteral("/usr/bin"));
    if (!payload.open(QIODevice::WriteOnly)) {
        return {};
    }
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    for (qint64 written = 0; written < kPayload; written += chunk.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(chunk.data()),
                                              chunk.size() / 4);
        payload.write(chunk);
    }
    payload.close();
    const QString image = folder + QStringLiteral("/image");
    QProcess mksquashfs;
    mksquashfs.start(QStringLiteral("mksquashfs"),
                     {root, image, QStringLiteral("-noappend"), QStringLiteral("-quiet"),
                      QStringLiteral("-no-progress"), QStringLiteral("-noI"),
                      QStringLiteral("-noD"), QStringLiteral("-noF"), QStringLiteral("-noX")});
    if (!mksquashfs.waitForFinished(300000) || mksquashfs.exitCode() != 0) {
        return {};
    }
    QFile runtime(QStringLiteral("/bin/true"));
    QFile squash(image);
    const QString path = folder + QStringLiteral("/Tool.AppImage");
    QFile out(path);
    if (!runtime.open(QIODevice::ReadOnly) || !squash.open(QIODevice::ReadOnly) ||
        !out.open(QIODevice::WriteOnly)) {
        return {};
    }
    QByteArray head = runtime.readAll();
    head.replace(8, 3, QByteArray("AI\x02", 3));
    out.write(head);
    while (!squash.atEnd()) {
        out.write(squash.read(1024 * 1024));
    }
    return path;
}

}  // namespace

QM_FIGURE("appimage_icon", [] {
    QTemporaryDir dir;
    const QString path = buildLargeAppImage(dir.path());
    if (path.isEmpty()) {
        return -1.0;
    }
    return qm::bench::medianSeconds(kRuns, [&] {
        const qm::AppImageContents contents = qm::readAppImage(path);
        const QImage icon = qm::decodeIcon(contents.icon, 48);
        const auto entry = qm::desktopEntryValues(contents.desktopEntry);
        if (icon.isNull() || entry.isEmpty()) {
            qFatal("the AppImage's icon or desktop entry was not read");
        }
    });
});

QM_FIGURE("link_rebuild_1000_icons", [] {
    QTemporaryDir dir;
    const QString workFolder = dir.path() + QStringLiteral("/work folder");
    const QString listFolder = dir.path() + QStringLiteral("/list");
    QDir().mkpath(listFolder);
    const QByteArray icon = png(48);
    QList<qm::CatalogueEntry> records;
    for (int i = 0; i < 1000; ++i) {
        qm::CatalogueEntry entry;
        entry.state = 1;
        entry.name = QStringLiteral("プログラム %1").arg(i);
        entry.category = i % 20 == 0 ? qm::uncategorised() : QStringLiteral("分類 %1").arg(i % 20);
        entry.folder = workFolder + QStringLiteral("/program %1").arg(i);
        entry.exe = entry.folder + QStringLiteral("/program");
        writeFile(entry.exe, "#!/bin/sh\n");
        writeFile(entry.folder + QStringLiteral("/program.png"), icon);
        records << entry;
    }
    qm::saveListFile(listFolder + QStringLiteral("/index.qmx"), records);
    qm::LinkTreeBuilder(listFolder, workFolder).rebuild();  // an earlier tree, as in use
    return qm::bench::medianSeconds(kRuns,
                                    [&] { qm::LinkTreeBuilder(listFolder, workFolder).rebuild(); });
});
