#include "installer/archivekind.h"

#include <archive.h>

#include "installer/archivereader.h"

namespace qm {

InstallKind archiveKindBySignature(const QString& path) {
    // The format is known once the first header is asked for, even when its name then fails to
    // convert; a plain compressed file without a tar inside is no archive.
    for (const NameReading reading : {NameReading::AsStored, NameReading::Bytes}) {
        ArchiveReader reader;
        archive_entry* entry = nullptr;
        if (!reader.openArchive(path, reading, true)) {
            return InstallKind::None;
        }
        reader.next(&entry);
        switch (archive_format(reader.handle()) & ARCHIVE_FORMAT_BASE_MASK) {
            case ARCHIVE_FORMAT_LHA:
                return InstallKind::Lzh;
            case ARCHIVE_FORMAT_ZIP:
                return InstallKind::Zip;
            case ARCHIVE_FORMAT_7ZIP:
            case ARCHIVE_FORMAT_RAR:
            case ARCHIVE_FORMAT_RAR_V5:
            case ARCHIVE_FORMAT_CAB:
            case ARCHIVE_FORMAT_TAR:
                return InstallKind::Archive;
            default:
                break;
        }
    }
    return InstallKind::None;
}

}  // namespace qm
