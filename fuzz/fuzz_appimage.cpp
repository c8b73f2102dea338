// Fuzzes the AppImage reader: the bytes after a fixed ELF runtime header are the SquashFS image
// (type 2) or, when the first byte is odd, the whole input is taken as an ISO 9660 image behind
// a type-1 header. Also the desktop-entry parser on whatever desktop entry comes out.

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/appimage.h"
#include "platform/desktopfile.h"

namespace {

// A 64-bit little-endian ELF header whose section header table ends at byte 64, so that the
// image begins there.
QByteArray runtimeHeader(char type) {
    QByteArray header(64, '\0');
    header.replace(0, 4,
                   "\x7f"
                   "ELF");
    header[4] = 2;
    header[5] = 1;
    header[8] = 'A';
    header[9] = 'I';
    header[10] = type;
    header[0x28] = 64;  // section headers at 64, none of them
    return header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray bytes;
    if (size > 0 && (data[0] & 1) != 0) {
        bytes = input;
        if (bytes.size() < 64) {
            bytes.append(QByteArray(64 - bytes.size(), '\0'));
        }
        bytes.replace(0, 64, runtimeHeader(1));
    } else {
        bytes = runtimeHeader(2) + input;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const qm::AppImageContents contents = qm::readAppImage(buffer);
    if (contents.icon.size() > qm::kMaxAppImageIcon ||
        contents.desktopEntry.size() > qm::kMaxAppImageDesktopEntry) {
        std::abort();
    }
    (void)qm::describedProgram(qm::desktopEntryValues(contents.desktopEntry), "ja");
    (void)qm::desktopEntryValues(input);
    return 0;
}
