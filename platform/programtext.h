#pragma once

#include <QString>

namespace qm {

// The name and description a program gives of itself, offered when it is registered: an
// AppImage's desktop entry (Name, Comment) or a Windows program's version resource (ProductName,
// FileDescription), in the language asked for ("ja" or "en") where the program has one.
struct OfferedProgramText {
    enum class Source { None, AppImage, VersionResource };

    Source source = Source::None;
    QString name;
    QString description;
};
OfferedProgramText offeredProgramText(const QString& path, const QString& language);

}  // namespace qm
