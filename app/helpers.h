#pragma once

#include <QString>

#include <memory>

class QPlainTextEdit;

namespace qm {

// Shell special folder numbers the program asks for.
inline constexpr int kCsidlPrograms = 2;

// The file-system path of a special folder (2: where menu shortcuts go), or "".
QString specialFolderPath(int csidl);

// Adds category to the category table unless it is there already (exact comparison). Slot 0 is
// never written; "" is never stored; a 31st distinct category is ignored.
void addCategory(const QString& category);

// Reads a whole text file into a preview box, replacing its text. When the file cannot be opened
// shows path + " ﾌｧｲﾙを開けません。" and leaves the preview as it was.
void showTextFile(const QString& path, QPlainTextEdit* preview);

// Everything before the last separator ("" when there is none).
QString parentFolder(const QString& path);

// Everything after the last separator (the whole text when there is none).
QString lastPathPart(const QString& path);

// True when path names a regular file that is not hidden. The last part may hold the wildcards
// "*" and "?" (no others), and is matched without regard to case. Folders and errors give false,
// and so does a name that matches several files only without regard to case.
bool fileExists(const QString& path);

// The existing file that path names under the one rule for letter case (see matchNameNoCase():
// "readme.txt" finds "README.TXT"); "" when there is none, or several and none spelt exactly so.
QString findFileNoCase(const QString& path);

struct FolderListing;

// While one lives, fileExists and findFileNoCase list each folder at most once and answer later
// look-ups in it from that listing, so that one pass over many rows whose files are missing
// from one big folder stays linear. Meant for the length of one such pass: files that appear
// or go meanwhile are not seen. Only the first of nested caches takes effect.
class FileLookupCache {
public:
    FileLookupCache();
    ~FileLookupCache();
    FileLookupCache(const FileLookupCache&) = delete;
    FileLookupCache& operator=(const FileLookupCache&) = delete;

    // True when a live cache found this folder, or a folder above it, missing.
    static bool folderKnownMissing(const QString& folder);

    // The listing of one folder: from the live cache, else read now.
    class Listing {
    public:
        explicit Listing(const QString& folder);
        const FolderListing* operator->() const { return m_listing.get(); }

    private:
        std::shared_ptr<const FolderListing> m_listing;
    };

private:
    struct Folders;
    std::unique_ptr<Folders> m_folders;
};

// True when path names an existing folder that can be listed.
bool folderExists(const QString& path);

// Joins a folder and a name with one separator.
QString joinPath(const QString& folder, const QString& name);

}  // namespace qm
