#pragma once

#include <QString>

class QWidget;

namespace qm {

// Lets the user choose a folder in a modal chooser with the given prompt. The chosen folder's
// absolute path without a trailing separator (except the root itself), or "" when cancelled.
QString browseForFolder(QWidget* owner, const QString& title);

// The characters of text before its first NUL character, or the whole text.
QString cutAtNul(const QString& text);

}  // namespace qm
