#include "shortcuts/linktree.h"

#include <algorithm>

#include <optional>

#include "app/helpers.h"
#include "app/workingfolder.h"
#include "platform/filesystem.h"
#include "platform/icontheme.h"
#include "platform/paths.h"
#include "platform/portablemode.h"

namespace qm {
namespace {

constexpr qint16 kRegistered = 1;
constexpr int kMaxNameBytes = 255;
constexpr qint64 kMaxShortcutSize = 1 << 18;

bool isRefusedCharacter(QChar c) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == u'/' || c == u'\\') {
        return true;
    }
#ifdef Q_OS_WIN
    return QStringView(u"<>:\"|?*").contains(c);
#else
    return false;
#endif
}

bool isDataFileName(const QString& name) {
    return name.compare(QLatin1String("index.qmx"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("settings.dat"), Qt::CaseInsensitive) == 0;
}

QByteArray readHead(const QString& path) {
    QByteArray bytes;
    if (fileSystem().status(path).size > kMaxShortcutSize || !fileSystem().readFile(path, &bytes)) {
        return QByteArray();
    }
    return bytes;
}

bool isWrittenDesktopEntry(const QByteArray& bytes) {
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first() != "[Desktop Entry]" || !bytes.endsWith('\n')) {
        return false;
    }
    // The keys in the order the writer puts them; the ones it always writes are required.
    struct Key {
        QByteArray name;
        bool required;
    };
    static const Key keys[] = {{"Type", true},           {"Name", true},    {"Exec", true},
                               {"Path", false},          {"TryExec", true}, {"Icon", false},
                               {"StartupWMClass", false}};
    std::size_t next = 0;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = equals > 0 ? line.left(equals) : QByteArray();
        while (next < std::size(keys) && keys[next].name != key) {
            if (keys[next].required) {
                return false;
            }
            ++next;
        }
        if (next == std::size(keys)) {
            return false;
        }
        ++next;
    }
    for (; next < std::size(keys); ++next) {
        if (keys[next].required) {
            return false;
        }
    }
    return lines[1] == "Type=Application";
}

bool isWrittenShellLink(const QByteArray& bytes) {
    static const QByteArray header =
        QByteArray::fromHex("4c0000000114020000000000c000000000000046");
    if (bytes.size() < 0x50 || !bytes.startsWith(header)) {
        return false;
    }
    const quint32 flags = static_cast<quint8>(bytes[20]) | static_cast<quint8>(bytes[21]) << 8 |
                          static_cast<quint8>(bytes[22]) << 16 |
                          static_cast<quint32>(static_cast<quint8>(bytes[23])) << 24;
    constexpr quint32 required = 0x2 | 0x80;
    constexpr quint32 allowed = required | 0x10 | 0x20;
    return (flags & required) == required && (flags & ~allowed) == 0;
}

void removeFile(const QString& path, MenuIcons* icons) {
    if (icons) {
        icons->noteRemoved(readHead(path));
    }
    if (!fileSystem().remove(path)) {
        throw ShortcutError("cannot delete " + path.toStdString());
    }
}

// The entries of a folder (hidden ones too) sorted by name; none when it cannot be listed.
QList<FolderEntry> sortedEntries(const QString& folder) {
    QList<FolderEntry> entries = fileSystem().list(folder).value_or(QList<FolderEntry>());
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

// The folder a Quillmorn shortcut starts the program in: the one above the executable's folder.
QString programStartFolder() {
    return parentFolder(parentFolder(programExecutable()));
}

}  // namespace

QString uncategorised() {
    return QStringLiteral("未設定");
}

bool isSafeLinkName(const QString& text, const QString& extension) {
    if (text.isEmpty() || text == QLatin1String(".") || text == QLatin1String("..")) {
        return false;
    }
    if (std::any_of(text.begin(), text.end(), isRefusedCharacter)) {
        return false;
    }
#ifdef Q_OS_WIN
    if (text.endsWith(u'.') || text.endsWith(u' ')) {
        return false;
    }
#endif
    return FsPath(text + extension).bytes().size() <= kMaxNameBytes;
}

bool isWrittenShortcut(const QString& path, ShortcutFormat format) {
    const FileStatus status = fileSystem().status(path);
    if (!status.isFile() || status.isLink) {
        return false;
    }
    const QByteArray bytes = readHead(path);
    return format == ShortcutFormat::ShellLink ? isWrittenShellLink(bytes)
                                               : isWrittenDesktopEntry(bytes);
}

LinkTreeBuilder::LinkTreeBuilder(const QString& listFolder, const QString& workFolder,
                                 ShortcutFormat format)
    : m_listFolder(listFolder),
      m_workFolder(workFolder),
      m_format(format),
      m_extension(shortcutExtension(format)) {}

QString LinkTreeBuilder::listShortcutPath() const {
    return joinPath(m_listFolder,
                    lastPathPart(m_workFolder) + QStringLiteral(" リスト") + m_extension);
}

void LinkTreeBuilder::rebuild() {
    if (m_listFolder.isEmpty() || !fileSystem().status(m_listFolder).isFolder()) {
        throw ShortcutError("the list folder does not exist");
    }
    readRecords();
    checkNames();
    if (m_format == ShortcutFormat::DesktopEntry) {
        m_icons.emplace(m_listFolder);
    }
    clearOldTree();
    writeTree();
    if (m_icons) {
        m_icons->removeUnused();
    }
    if (!m_complete) {
        throw ShortcutError("the list file holds a broken record");
    }
}

void LinkTreeBuilder::readRecords() {
    const auto records = readListFile(listFileOf(m_listFolder), &m_complete);
    if (!records) {
        throw ShortcutError("cannot read the list file");
    }
    m_records = *records;
}

void LinkTreeBuilder::checkNames() {
    m_skipped.clear();
    m_usable.clear();
    for (const CatalogueEntry& record : std::as_const(m_records)) {
        std::optional<SkippedRecord::Reason> reason;
        if (record.state != kRegistered) {
            m_usable << false;
            continue;
        }
        if (!isSafeLinkName(record.name, m_extension)) {
            reason = SkippedRecord::UnusableName;
        } else if (record.category != uncategorised() &&
                   (!isSafeLinkName(record.category) || isDataFileName(record.category))) {
            reason = SkippedRecord::UnusableCategory;
        } else if (parentFolder(record.exe).isEmpty()) {
            reason = SkippedRecord::NoProgram;
        }
        if (reason) {
            m_skipped << SkippedRecord{record, *reason};
        }
        m_usable << !reason;
    }
    if (!isSafeLinkName(lastPathPart(listShortcutPath()))) {
        throw ShortcutError("unusable working folder name");
    }
}

void LinkTreeBuilder::clearOldTree() {
    const auto isOwnShortcut = [this](const QString& path) {
        return path.endsWith(m_extension, Qt::CaseInsensitive) && isWrittenShortcut(path, m_format);
    };
    // Names beginning with "." included: a record may be named so, and what was written for it
    // goes like the rest.
    for (const FolderEntry& entry : sortedEntries(m_listFolder)) {
        tick();
        const QString path = joinPath(m_listFolder, entry.name);
        if (entry.status.isLink) {
            continue;
        }
        if (entry.status.isFile()) {
            if (isOwnShortcut(path)) {
                removeFile(path, iconsOrNull());
            }
            continue;
        }
        if (!entry.status.isFolder()) {
            continue;
        }
        // A category folder holds shortcuts of this program: they go, and the folder too once
        // nothing else is in it. A folder without any (one the user made) stays, even empty.
        bool heldShortcuts = false;
        for (const FolderEntry& inner : sortedEntries(path)) {
            const QString innerPath = joinPath(path, inner.name);
            if (inner.status.isFile() && isOwnShortcut(innerPath)) {
                removeFile(innerPath, iconsOrNull());
                heldShortcuts = true;
            }
        }
        const auto left = fileSystem().list(path);
        if (heldShortcuts && left && left->isEmpty() && !fileSystem().remove(path)) {
            throw ShortcutError("cannot remove " + path.toStdString());
        }
    }
}

void LinkTreeBuilder::writeTree() {
    m_written.clear();
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        if (!m_usable[i]) {
            continue;
        }
        const CatalogueEntry& record = m_records[i];
        tick();
        QString folder = m_listFolder;
        bool createdFolder = false;
        try {
            if (record.category != uncategorised()) {
                folder = joinPath(m_listFolder, record.category);
                const FileStatus status = fileSystem().status(folder);
                if (status.isLink) {
                    throw ShortcutError("the category folder is a link: " + folder.toStdString());
                }
                if (!status.isFolder()) {
                    if (status.exists() || !fileSystem().makeFolder(folder)) {
                        throw ShortcutError("cannot create " + folder.toStdString());
                    }
                    createdFolder = true;
                }
            }
            write(joinPath(folder, record.name + m_extension), record.exe, QString(),
                  parentFolder(record.exe),
                  m_icons ? m_icons->extrasFor(record.exe) : ShortcutExtras());
            m_written << record;
        } catch (const ShortcutError&) {
            // A category folder holds at least one shortcut, or the next rebuild could not tell
            // it from a folder of the user's.
            if (createdFolder) {
                fileSystem().remove(folder);
            }
            m_skipped << SkippedRecord{record, SkippedRecord::Unwritable};
        }
    }
    write(listShortcutPath(), programExecutable(),
          PortableMode::shortcutArguments(QStringLiteral("-l ") + m_workFolder),
          programStartFolder(), {m_icons ? ownIconName() : QString(), {}});
}

void LinkTreeBuilder::write(const QString& linkPath, const QString& target,
                            const QString& arguments, const QString& workingDirectory,
                            const ShortcutExtras& extras) {
    // Never through a link, and never over a file of someone else.
    const FileStatus status = fileSystem().status(linkPath);
    if (status.isLink || (status.exists() && !isWrittenShortcut(linkPath, m_format))) {
        throw ShortcutError("would replace a file it did not write: " + linkPath.toStdString());
    }
    writeShortcut(linkPath, target, arguments, workingDirectory, m_format, extras);
}

void LinkTreeBuilder::tick() {
    if (m_progress) {
        m_progress();
    }
}

}  // namespace qm
