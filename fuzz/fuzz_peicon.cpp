// Fuzzes the icon reader of Windows executables: any bytes, both sizes, and single images.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/peicon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int side : {16, 32}) {
        const QImage icon = qm::peIcon(bytes, side);
        if (!icon.isNull() && (icon.width() != side || icon.height() != side)) {
            std::abort();
        }
    }
    (void)qm::decodeIconImage(bytes);
    return 0;
}
