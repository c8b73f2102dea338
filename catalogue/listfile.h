#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

#include "platform/filesystem.h"

namespace qm {

// One catalogue entry: a program folder of the working folder and what the user registered.
// State 0 excluded, 1 registered, 2 unregistered; 3 and up mean registered and shown with the
// program's own icon (they exist only in memory and are written as 1).
struct CatalogueEntry {
    qint16 state = 2;
    QString name;
    QString folder;
    QString category;
    QString exe;
    QString description;

    friend bool operator==(const CatalogueEntry&, const CatalogueEntry&) = default;
};

// Reads the records of a list file ("index.qmx"), six fields each.
class ListFileReader {
public:
    explicit ListFileReader(const QString& text);

    // True when no record is left.
    bool atEnd() const;
    // The next record; nothing when the text ends inside a record or the state is not a 16-bit
    // number (the reading then stops).
    std::optional<CatalogueEntry> next();
    // True when the reading stopped at a broken record instead of at the end of the text.
    bool stoppedEarly() const;
    // True when the state field of the record just read was a plain number. Anything else (an
    // empty field, a word) still reads as 0 but means the fields have shifted.
    bool stateWasNumber() const;

private:
    class Impl;
    std::shared_ptr<Impl> d;
};

// The folder and program fields hold file names, which may hold a line end or a double quote
// that no field of the format can carry. Those bytes are written as the path texts write bytes
// that are not text (pathbytes.h): U+EF00 + the byte; a name that really holds one of U+EF00 to
// U+EF7F is written byte by byte that way too, so that reading leads back to the same name.
QString encodePathField(const QString& path);
QString decodePathField(const QString& field);

// The text of a list file's bytes: UTF-8 when the whole file is; else decided line by line (a
// file written here is UTF-8, an old one CP932). *damaged is set when the file does not end in
// CR LF (it was cut short), or a line of a UTF-8 file is not UTF-8, or a line of an old file is
// not CP932: records may then be misread.
QString decodeListFile(const QByteArray& bytes, bool* damaged);

// Reads a list file's text as above; false (with a reason) when it cannot be read.
bool readListText(const QString& path, QString* text, bool* damaged, QString* error = nullptr);

// One record line of the list file, CR LF included.
QString formatRecord(const CatalogueEntry& entry);

// The whole list file for these entries, encoded for writing.
QByteArray formatListFile(const QList<CatalogueEntry>& entries);

// Reads a list file into entries; nothing when it cannot be opened. Reading stops at the first
// broken record; *complete (when given) says whether every record was read from a whole file.
std::optional<QList<CatalogueEntry>> readListFile(const QString& path, bool* complete = nullptr);

// A name beside the list file that is free for a copy of it ("index.qmx.bak", else with a
// number); the link rebuild leaves such files alone.
QString listBackupPath(const QString& listFile);

// Copies the list file to listBackupPath(); true when there was nothing to copy. False with a
// reason when the copy could not be made.
bool backUpListFile(const QString& listFile, QString* backup, QString* error = nullptr);

// Replaces the list file atomically; false with a reason on failure (the old file stays whole).
// With Existing::Keep it writes only a file of a new name.
bool saveListFile(const QString& path, const QList<CatalogueEntry>& entries,
                  QString* error = nullptr, Existing existing = Existing::Replace);

}  // namespace qm
