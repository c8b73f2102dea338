#pragma once

#include <QString>

#include <stdexcept>

namespace qm {

// The kind of shortcut file written: a freedesktop Desktop Entry (".desktop", the default on
// Linux) or a Windows Shell Link (".lnk", the default on Windows).
enum class ShortcutFormat { DesktopEntry, ShellLink };

ShortcutFormat defaultShortcutFormat();

// ".desktop" or ".lnk".
QString shortcutExtension(ShortcutFormat format = defaultShortcutFormat());

// Why a shortcut could not be written.
class ShortcutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a menu entry may carry beside the four values: the icon (a theme name or an absolute
// path) and the window class of the started program. A Shell Link carries neither.
struct ShortcutExtras {
    QString icon;
    QString startupWmClass;
};

// Writes a shortcut file from four values and the extras: the file at linkPath starts target
// with arguments (one text, as typed on a command line) in workingDirectory. An existing file is
// overwritten; a missing folder or any other failure throws ShortcutError.
void writeShortcut(const QString& linkPath, const QString& target, const QString& arguments,
                   const QString& workingDirectory, ShortcutFormat format = defaultShortcutFormat(),
                   const ShortcutExtras& extras = {});

}  // namespace qm
