#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <filesystem>

namespace qm::test {

// Every entry below folder, names kept byte for byte (in the text form of pathbytes.h), relative
// path -> contents; a link gives "-> target", an empty folder "path/" -> "", and a file or folder
// whose mode has no owner write permission gets " (read-only)" after its path.
QMap<QString, QByteArray> byteTree(const QString& folder);

// Writes bytes to path (a name of any bytes), creating the parent folders.
void writeRawFile(const std::filesystem::path& path, const QByteArray& bytes);

// A folder for temporary files on another file system than the one below base: the folder named
// by QM_OTHER_FS, or /dev/shm; "" (with *reason set) when there is none.
QString otherFileSystemFolder(const QString& base, QString* reason);

// Gives every folder below and including folder the owner's write permission back, so that a
// test's temporary folder can be removed after it made some read-only.
void makeTreeWritable(const QString& folder);

// Removes folder with everything in it, names of any bytes and read-only folders too.
void removeTree(const QString& folder);

}  // namespace qm::test
