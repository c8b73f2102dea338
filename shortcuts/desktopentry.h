#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "shortcuts/shortcutwriter.h"

namespace qm {

// The words of an arguments text as the started program receives them: the text split at every
// blank, so that the words joined by single blanks give the text back. Quotes are ordinary
// characters. "" gives no words.
QStringList splitArguments(const QString& arguments);

// A value of a string key of a Desktop Entry, escaped so that a reader gets it back unchanged
// (backslash, line breaks, tabs and a leading blank).
QString escapeDesktopValue(const QString& value);

// One word of an Exec line: quoted when it holds anything but plain characters, with the
// characters that keep a meaning inside quotes escaped, and "%" doubled so that it is no field
// code. The result still needs escapeDesktopValue().
QString quoteExecWord(const QString& word);

// The whole Desktop Entry that starts target with arguments in workingDirectory, named name,
// with an Icon and a StartupWMClass line when extras give them.
// A Windows ".exe" target runs through wine. Throws ShortcutError when a value holds a character
// no Desktop Entry can carry.
QByteArray desktopEntry(const QString& name, const QString& target, const QString& arguments,
                        const QString& workingDirectory, const ShortcutExtras& extras = {});

}  // namespace qm
