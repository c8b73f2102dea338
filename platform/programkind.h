#pragma once

#include <QByteArray>
#include <QString>

namespace qm {

// What a file is, told by its first bytes rather than by its name or its execute bit (on FAT,
// exFAT and NTFS sticks every file carries the bit).
enum class ProgramKind {
    NotProgram,
    Elf,       // a Linux executable (not a shared library)
    AppImage,  // an ELF runtime followed by its image (type 1 or 2)
    Windows,   // a PE executable (not a DLL)
    Script,    // "#!" and an interpreter
};

// How many leading bytes programKindOf() looks at.
inline constexpr qint64 kProgramHeadSize = 4096;

// The kind of a file whose first bytes are head (at most kProgramHeadSize of them).
ProgramKind programKindOf(const QByteArray& head);

// The kind of the file at path; NotProgram when it cannot be read or is no regular file.
ProgramKind programKind(const QString& path);

// 1 or 2 for an AppImage's header, else 0.
int appImageType(const QByteArray& head);

}  // namespace qm
