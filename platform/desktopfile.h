#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace qm {

// The keys of the "[Desktop Entry]" group of a desktop file, values unescaped ("\s", "\n", "\t",
// "\r", "\\"). Other groups, comments and lines without "=" are skipped; the first of two equal
// keys wins. Localised keys keep their suffix ("Name[ja]").
QHash<QString, QString> desktopEntryValues(const QByteArray& bytes);

// What a program's desktop entry says about it, in the language given ("ja" takes "Name[ja]"
// before "Name").
struct ProgramDescription {
    QString name;
    QString comment;
    QString categories;
    QString startupWmClass;
    QString icon;

    bool isEmpty() const { return name.isEmpty() && comment.isEmpty(); }
};
ProgramDescription describedProgram(const QHash<QString, QString>& values, const QString& language);

}  // namespace qm
