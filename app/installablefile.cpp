#include "app/installablefile.h"

#include <QCoreApplication>
#include <QStringList>

#include "app/helpers.h"

namespace qm {
namespace {

struct Extension {
    const char* suffix;
    InstallKind kind;
};

// Longer suffixes first, so that ".tar.gz" is found before ".gz" could be.
constexpr Extension kExtensions[] = {
    {".lzh", InstallKind::Lzh},          {".zip", InstallKind::Zip},
    {".tar.bz2", InstallKind::Archive},  {".tar.zst", InstallKind::Archive},
    {".appimage", InstallKind::Program}, {".tar.gz", InstallKind::Archive},
    {".tar.xz", InstallKind::Archive},   {".tbz2", InstallKind::Archive},
    {".tzst", InstallKind::Archive},     {".tar", InstallKind::Archive},
    {".tgz", InstallKind::Archive},      {".tbz", InstallKind::Archive},
    {".txz", InstallKind::Archive},      {".rar", InstallKind::Archive},
    {".cab", InstallKind::Archive},      {".exe", InstallKind::Program},
    {".7z", InstallKind::Archive},
};

}  // namespace

InstallableFile installableFile(const QString& path) {
    const QString name = lastPathPart(path);
    for (const Extension& extension : kExtensions) {
        const QLatin1String suffix(extension.suffix);
        if (name.endsWith(suffix, Qt::CaseInsensitive)) {
            return {extension.kind, name.chopped(suffix.size())};
        }
    }
    return {};
}

QString installableFileFilter() {
    QStringList patterns;
    for (const Extension& extension : kExtensions) {
        patterns.append(QStringLiteral("*") + QLatin1String(extension.suffix));
    }
    QStringList both = patterns;
    for (const QString& pattern : patterns) {
        both.append(pattern.toUpper());
    }
    return QCoreApplication::translate("qm::InstallableFile", "アーカイブとプログラム") +
           QStringLiteral(" (") + both.join(u' ') + u')';
}

std::optional<QString> programFolderName(const QString& baseName) {
    for (const QChar c : baseName) {
        if (c.category() == QChar::Other_Control) {
            return std::nullopt;
        }
    }
    qsizetype end = baseName.size();
    while (end > 0 && (baseName.at(end - 1) == u' ' || baseName.at(end - 1) == u'.')) {
        --end;
    }
    return baseName.left(end);
}

}  // namespace qm
