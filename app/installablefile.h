#pragma once

#include <QString>

#include <optional>

namespace qm {

// What the installer takes.
enum class InstallKind {
    None,
    Lzh,      // extracted through the LZH archiver
    Zip,      // extracted through the ZIP archiver
    Archive,  // 7z, RAR, CAB and the tar family, extracted directly
    Program,  // a single program file (.exe, .AppImage), copied into a folder of its own
};

struct InstallableFile {
    InstallKind kind = InstallKind::None;
    QString baseName;  // the file's name without the extension that made it installable
};

// The kind of a file by its extension, in any case: .lzh .zip .7z .rar .cab .tar .tar.gz .tgz
// .tar.bz2 .tbz2 .tbz .tar.xz .txz .tar.zst .tzst .exe .AppImage. A name that is the extension
// alone (".zip") has an empty base name. None for any other name ("toolzip" included).
InstallableFile installableFile(const QString& path);

// The name filter of a file chooser that offers every installable file.
QString installableFileFilter();

// The name of the program folder made for a file: its base name with trailing spaces and dots
// removed, the way a folder path is trimmed when it is built. Nothing when the name holds a
// character no folder name should hold (a control character).
std::optional<QString> programFolderName(const QString& baseName);

}  // namespace qm
