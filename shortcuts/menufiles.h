#pragma once

#include <QString>

namespace qm {

// Freedesktop menu files that make a copied shortcut tree show as a menu folder: desktop entries
// in sub-folders of the applications folder are found by menus but make no menu folders by
// themselves. One ".menu" file in the user's applications-merged folder puts a folder named after
// the destination into the applications menu, with one sub-folder per category folder of the
// tree; ".directory" files give those folders their names.
class MenuFiles {
public:
    // applicationsFolder holds the copied tree in its sub-folder destination.
    MenuFiles(const QString& applicationsFolder, const QString& destination);

    // Writes the menu files for the tree as it now is, replacing those of an earlier copy.
    // False when a file could not be written.
    bool write() const;
    // Removes the menu files of this destination (when its tree is replaced).
    void remove() const;

    QString menuFilePath() const;
    QString directoryFilePath() const;  // of the destination's own folder

    // ~/.config/menus/applications-merged and ~/.local/share/desktop-directories.
    static QString mergedMenusFolder();
    static QString directoriesFolder();

private:
    QString fileStem() const;

    QString m_applicationsFolder;
    QString m_destination;
};

}  // namespace qm
