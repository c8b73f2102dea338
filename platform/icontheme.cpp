#include "platform/icontheme.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace qm {
namespace {

const QString kPrefix = QStringLiteral("quillmorn-app-");
constexpr int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 96, 128, 256, 512};

int themeSize(int side) {
    int best = kThemeSizes[0];
    for (const int size : kThemeSizes) {
        if (std::abs(size - side) < std::abs(best - side)) {
            best = size;
        }
    }
    return best;
}

QString sizeFolder(int size) {
    return QStringLiteral("%1x%1").arg(size);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool isCurrent(const QString& path, const QString& program) {
    const QFileInfo icon(path);
    return icon.isFile() && !icon.isSymLink() &&
           icon.lastModified() >= QFileInfo(program).lastModified();
}

}  // namespace

QString userIconThemeFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/icons/hicolor");
}

QString programIconName(const QString& listFolder, const QString& program) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(listFolder.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(program.toUtf8());
    return kPrefix + QString::fromLatin1(hash.result().toHex().left(16));
}

bool isProgramIconName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^quillmorn-app-[0-9a-f]{16}$"));
    return pattern.match(name).hasMatch();
}

bool exportProgramIcon(const QString& name, const ProgramIconFiles& files, const QString& program) {
    const QString theme = userIconThemeFolder();
    if (theme.isEmpty() || files.isEmpty() || !isProgramIconName(name)) {
        return false;
    }
    if (!files.svg.isEmpty()) {
        const QString path = theme + QStringLiteral("/scalable/apps/") + name + ".svg";
        if (!isCurrent(path, program) && !writeFile(path, files.svg)) {
            return false;
        }
    }
    QList<int> written;
    for (const QImage& image : files.images) {
        const int size = themeSize(std::max(image.width(), image.height()));
        if (written.contains(size)) {
            continue;
        }
        written.append(size);
        const QString path =
            theme + u'/' + sizeFolder(size) + QStringLiteral("/apps/") + name + ".png";
        if (isCurrent(path, program)) {
            continue;
        }
        const QImage sized =
            image.size() == QSize(size, size)
                ? image
                : image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QSaveFile file(path);
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
            !sized.save(&file, "PNG") || !file.commit()) {
            return false;
        }
    }
    return true;
}

void removeProgramIcon(const QString& name) {
    const QString theme = userIconThemeFolder();
    if (theme.isEmpty() || !isProgramIconName(name)) {
        return;
    }
    QFile::remove(theme + QStringLiteral("/scalable/apps/") + name + ".svg");
    for (const int size : kThemeSizes) {
        QFile::remove(theme + u'/' + sizeFolder(size) + QStringLiteral("/apps/") + name + ".png");
    }
}

QString ownIconName() {
    const QString name = QStringLiteral("quillmorn");
    const QString theme = userIconThemeFolder();
    QFile own(QStringLiteral(":/quillmorn.svg"));
    const QString path = theme + QStringLiteral("/scalable/apps/") + name + ".svg";
    if (!theme.isEmpty() && !QFileInfo::exists(path) && own.open(QIODevice::ReadOnly)) {
        writeFile(path, own.readAll());
    }
    return name;
}

}  // namespace qm
