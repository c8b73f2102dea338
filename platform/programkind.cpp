#include "platform/programkind.h"

#include <QFile>
#include "platform/regularfile.h"

namespace qm {
namespace {

constexpr quint16 kElfExecutable = 2;
constexpr quint16 kElfShared = 3;
constexpr quint16 kPeDll = 0x2000;

quint16 u16(const QByteArray& bytes, qsizetype at, bool bigEndian = false) {
    const auto b0 = static_cast<quint8>(bytes[at]);
    const auto b1 = static_cast<quint8>(bytes[at + 1]);
    return bigEndian ? quint16(b0 << 8 | b1) : quint16(b1 << 8 | b0);
}

quint32 u32(const QByteArray& bytes, qsizetype at) {
    return quint32(u16(bytes, at)) | quint32(u16(bytes, at + 2)) << 16;
}

// An ELF file that can be started: an executable, or a position-independent one, which shares
// its type with libraries but has a program interpreter or an entry point.
bool isElfProgram(const QByteArray& head) {
    if (head.size() < 64 || !head.startsWith("\x7f"
                                             "ELF")) {
        return false;
    }
    const bool bigEndian = head[5] == 2;
    const quint16 type = u16(head, 16, bigEndian);
    if (type == kElfExecutable) {
        return true;
    }
    if (type != kElfShared) {
        return false;
    }
    // Shared libraries have no program interpreter; look for PT_INTERP in the program headers
    // that lie inside the head.
    const bool wide = head[4] == 2;
    if (bigEndian) {
        return true;  // rare enough here: believe the type
    }
    const qint64 phoff = wide ? qint64(u32(head, 32)) | qint64(u32(head, 36)) << 32 : u32(head, 28);
    const quint16 phentsize = u16(head, wide ? 54 : 42);
    const quint16 phnum = u16(head, wide ? 56 : 44);
    for (qint64 i = 0; i < phnum; ++i) {
        const qint64 at = phoff + i * phentsize;
        if (phentsize < 4 || at < 0 || at + 4 > head.size()) {
            break;
        }
        if (u32(head, at) == 3) {  // PT_INTERP
            return true;
        }
    }
    return false;
}

bool isPeProgram(const QByteArray& head) {
    if (head.size() < 64 || !head.startsWith("MZ")) {
        return false;
    }
    const qint64 pe = u32(head, 0x3C);
    if (pe < 0 || pe + 24 > head.size()) {
        // The header lies beyond what was read: an MZ file all the same.
        return pe >= head.size();
    }
    if (head.mid(pe, 4) != QByteArray("PE\0\0", 4)) {
        return false;
    }
    return (u16(head, pe + 22) & kPeDll) == 0;
}

bool isScript(const QByteArray& head) {
    if (!head.startsWith("#!")) {
        return false;
    }
    qsizetype at = 2;
    while (at < head.size() && (head[at] == ' ' || head[at] == '\t')) {
        ++at;
    }
    return at < head.size() && head[at] == '/';
}

}  // namespace

int appImageType(const QByteArray& head) {
    if (head.size() < 11 ||
        !head.startsWith("\x7f"
                         "ELF") ||
        head[8] != 'A' || head[9] != 'I') {
        return 0;
    }
    const int type = head[10];
    return type == 1 || type == 2 ? type : 0;
}

ProgramKind programKindOf(const QByteArray& head) {
    if (appImageType(head) != 0) {
        return ProgramKind::AppImage;
    }
    if (isElfProgram(head)) {
        return ProgramKind::Elf;
    }
    if (isPeProgram(head)) {
        return ProgramKind::Windows;
    }
    if (isScript(head)) {
        return ProgramKind::Script;
    }
    return ProgramKind::NotProgram;
}

ProgramKind programKind(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path)) {
        return ProgramKind::NotProgram;
    }
    return programKindOf(file.read(kProgramHeadSize));
}

}  // namespace qm
