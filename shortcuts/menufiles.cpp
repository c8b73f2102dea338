#include "shortcuts/menufiles.h"

#include <QCryptographicHash>
#include <QStandardPaths>
#include <QXmlStreamWriter>

#include <algorithm>

#include "app/helpers.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "shortcuts/desktopentry.h"

namespace qm {
namespace {

const QString kEntryExtension = QStringLiteral(".desktop");

QString stemOf(const QString& text) {
    const QByteArray hash =
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("quillmorn-") + QString::fromLatin1(hash.left(16));
}

// The entries of a folder that filter admits (hidden ones too), by name without regard to case.
QList<FolderEntry> entriesByName(const QString& folder, EntryFilter filter) {
    QList<FolderEntry> entries;
    for (const FolderEntry& entry : fileSystem().list(folder).value_or(QList<FolderEntry>())) {
        if (admits(filter, entry.status)) {
            entries.append(entry);
        }
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

// The desktop entries directly in a folder, by name.
QStringList entryNames(const QString& folder) {
    QStringList names;
    for (const FolderEntry& file : entriesByName(folder, EntryFilter::Files)) {
        if (file.name.endsWith(kEntryExtension, Qt::CaseInsensitive)) {
            names << file.name;
        }
    }
    return names;
}

QByteArray directoryEntry(const QString& name) {
    return (QStringLiteral("[Desktop Entry]\nType=Directory\nName=") +
            escapeDesktopValue(readableName(name)) + u'\n')
        .toUtf8();
}

void writeInclude(QXmlStreamWriter& xml, const QString& idPrefix, const QStringList& names) {
    if (names.isEmpty()) {
        return;
    }
    xml.writeStartElement(QStringLiteral("Include"));
    for (const QString& name : names) {
        // A desktop file id: the path below the applications folder with "-" for "/".
        xml.writeTextElement(QStringLiteral("Filename"), idPrefix + name);
    }
    xml.writeEndElement();
}

}  // namespace

MenuFiles::MenuFiles(const QString& applicationsFolder, const QString& destination)
    : m_applicationsFolder(applicationsFolder), m_destination(destination) {}

QString MenuFiles::mergedMenusFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/menus/applications-merged");
}

QString MenuFiles::directoriesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/desktop-directories");
}

QString MenuFiles::fileStem() const {
    // Spellings that differ only in case are one destination, with one set of menu files.
    return stemOf(m_destination.toLower());
}

QString MenuFiles::menuFilePath() const {
    return mergedMenusFolder() + u'/' + fileStem() + QStringLiteral(".menu");
}

QString MenuFiles::directoryFilePath() const {
    return directoriesFolder() + u'/' + fileStem() + QStringLiteral(".directory");
}

bool MenuFiles::write() const {
    remove();
    if (!fileSystem().makeFolder(mergedMenusFolder(), true) ||
        !fileSystem().makeFolder(directoriesFolder(), true)) {
        return false;
    }
    const QString tree = joinPath(m_applicationsFolder, m_destination);
    const QString idPrefix = m_destination + u'-';

    QByteArray menu;
    QXmlStreamWriter xml(&menu);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeDTD(
        QStringLiteral("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">"));
    xml.writeStartElement(QStringLiteral("Menu"));
    xml.writeTextElement(QStringLiteral("Name"), QStringLiteral("Applications"));
    xml.writeStartElement(QStringLiteral("Menu"));
    xml.writeTextElement(QStringLiteral("Name"), m_destination);
    xml.writeTextElement(QStringLiteral("Directory"), lastPathPart(directoryFilePath()));
    writeInclude(xml, idPrefix, entryNames(tree));
    bool written = fileSystem().writeFile(directoryFilePath(), directoryEntry(m_destination));

    int number = 0;
    for (const FolderEntry& folder : entriesByName(tree, EntryFilter::Folders)) {
        const QStringList names = entryNames(joinPath(tree, folder.name));
        if (folder.status.isLink || names.isEmpty()) {
            continue;
        }
        const QString directoryFile =
            fileStem() + u'-' + QString::number(++number) + QStringLiteral(".directory");
        written = fileSystem().writeFile(QString(directoriesFolder() + u'/' + directoryFile),
                                         directoryEntry(folder.name)) &&
                  written;
        xml.writeStartElement(QStringLiteral("Menu"));
        xml.writeTextElement(QStringLiteral("Name"), folder.name);
        xml.writeTextElement(QStringLiteral("Directory"), directoryFile);
        writeInclude(xml, idPrefix + folder.name + u'-', names);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return fileSystem().writeFile(menuFilePath(), menu.trimmed() + '\n') && written;
}

void MenuFiles::remove() const {
    // Also the files named after the exact spelling, as earlier versions wrote them.
    for (const QString& stem : {fileStem(), stemOf(m_destination)}) {
        fileSystem().remove(QString(mergedMenusFolder() + u'/' + stem + QStringLiteral(".menu")));
        for (const FolderEntry& file : entriesByName(directoriesFolder(), EntryFilter::Files)) {
            const QString& name = file.name;
            if (name == stem + QStringLiteral(".directory") || name.startsWith(stem + u'-')) {
                fileSystem().remove(QString(directoriesFolder() + u'/' + name));
            }
        }
    }
}

}  // namespace qm
