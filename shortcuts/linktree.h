#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

#include "catalogue/listfile.h"
#include "shortcuts/menuicons.h"
#include "shortcuts/shortcutwriter.h"

namespace qm {

// The category whose shortcuts lie directly in the list folder.
QString uncategorised();

// True when text can be one file or folder name inside the list folder: not empty, not "." or
// "..", no separator, no control character (nor, on Windows, a character Windows refuses), and
// short enough for the file system once extension is added.
bool isSafeLinkName(const QString& text, const QString& extension = QString());

// True when path is a shortcut file this program writes (recognised by its content, not only by
// its extension), so that a rebuild removes nothing it did not write.
bool isWrittenShortcut(const QString& path, ShortcutFormat format = defaultShortcutFormat());

// A registered record that got no shortcut, and why.
struct SkippedRecord {
    enum Reason { UnusableName, UnusableCategory, NoProgram, Unwritable };
    CatalogueEntry record;
    Reason reason;
};

// Builds the shortcut tree of a list folder: one shortcut per registered record (state 1), in a
// sub-folder per category ("未設定" directly in the list folder), and the list shortcut that
// reopens the catalogue of the working folder.
//
// Before anything is changed the list file is read and every name and category checked; then
// the shortcuts and category folders an earlier rebuild wrote are removed (anything else stays);
// then the new tree is written. A record that cannot have a shortcut (a name or category that
// cannot be a file name, no program file, a file in the way) is left out and listed in
// skipped(); every other record gets its shortcut. A failure of the whole (no list folder or list
// file, an old shortcut that cannot go, the list shortcut) throws ShortcutError; shortcuts
// written before it stay.
class LinkTreeBuilder {
public:
    LinkTreeBuilder(const QString& listFolder, const QString& workFolder,
                    ShortcutFormat format = defaultShortcutFormat());

    // Called now and then during the work (for example to let window events run).
    void setProgress(std::function<void()> progress) { m_progress = std::move(progress); }

    // Reads the list file, clears the old tree and writes the new one. The records read are
    // available afterwards, also when the rebuild failed after reading them.
    void rebuild();

    const QList<CatalogueEntry>& records() const { return m_records; }
    const QList<SkippedRecord>& skipped() const { return m_skipped; }
    // The records that got a shortcut.
    const QList<CatalogueEntry>& written() const { return m_written; }

    // The list shortcut's path: "<last part of the working folder> リスト" + extension.
    QString listShortcutPath() const;

private:
    void readRecords();
    void checkNames();
    void clearOldTree();
    void writeTree();
    void write(const QString& linkPath, const QString& target, const QString& arguments,
               const QString& workingDirectory, const ShortcutExtras& extras);
    void tick();
    MenuIcons* iconsOrNull() { return m_icons ? &*m_icons : nullptr; }

    QString m_listFolder;
    QString m_workFolder;
    ShortcutFormat m_format;
    QString m_extension;
    std::function<void()> m_progress;
    QList<CatalogueEntry> m_records;
    QList<SkippedRecord> m_skipped;
    QList<CatalogueEntry> m_written;
    QList<bool> m_usable;  // per record of m_records: registered and not skipped
    bool m_complete = true;
    // The icons of the menu entries (Desktop Entries only).
    std::optional<MenuIcons> m_icons;
};

}  // namespace qm
