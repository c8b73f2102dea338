#pragma once

#include <QString>

class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace qm {

// The lower part of the catalogue: the selected program's large icon, the text files of its
// folder and a preview of one of them. Works on widgets the window owns.
class FolderPreview {
public:
    FolderPreview(QLabel* icon, QListWidget* files, QPlainTextEdit* text);

    // Shows an entry: its program's icon, and its folder's "readme.txt" and text files.
    void showEntry(const QString& exe, const QString& folderPath);
    // Shows the text file selected in the file list.
    void showSelectedFile();

    // The folder whose text files are listed ("" before the first one).
    QString listedFolder() const { return m_folder; }

    static QString noReadmeText();

private:
    void listTextFiles(const QString& folderPath);

    QLabel* m_icon;
    QListWidget* m_files;
    QPlainTextEdit* m_text;
    QString m_folder;
};

}  // namespace qm
