#include "shortcuts/menufiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamWriter>

#include "app/helpers.h"
#include "platform/textfile.h"
#include "shortcuts/desktopentry.h"

namespace qm {
namespace {

const QString kEntryExtension = QStringLiteral(".desktop");

QString stemOf(const QString& text) {
    const QByteArray hash =
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("quillmorn-") + QString::fromLatin1(hash.left(16));
}

// The desktop entries directly in a folder, by name.
QStringList entryNames(const QString& folder) {
    QStringList names;
    const QFileInfoList files = QDir(folder).entryInfoList(
        QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        if (file.fileName().endsWith(kEntryExtension, Qt::CaseInsensitive)) {
            names << file.fileName();
        }
    }
    return names;
}

QByteArray directoryEntry(const QString& name) {
    return (QStringLiteral("[Desktop Entry]\nType=Directory\nName=") + escapeDesktopValue(name) +
            u'\n')
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
    if (!QDir().mkpath(mergedMenusFolder()) || !QDir().mkpath(directoriesFolder())) {
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
    xml.writeTextElement(QStringLiteral("Directory"), QFileInfo(directoryFilePath()).fileName());
    writeInclude(xml, idPrefix, entryNames(tree));
    bool written = saveFileAtomically(directoryFilePath(), directoryEntry(m_destination));

    const QFileInfoList folders = QDir(tree).entryInfoList(
        QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    int number = 0;
    for (const QFileInfo& folder : folders) {
        const QStringList names = entryNames(folder.filePath());
        if (folder.isSymLink() || names.isEmpty()) {
            continue;
        }
        const QString directoryFile =
            fileStem() + u'-' + QString::number(++number) + QStringLiteral(".directory");
        written = saveFileAtomically(directoriesFolder() + u'/' + directoryFile,
                                     directoryEntry(folder.fileName())) &&
                  written;
        xml.writeStartElement(QStringLiteral("Menu"));
        xml.writeTextElement(QStringLiteral("Name"), folder.fileName());
        xml.writeTextElement(QStringLiteral("Directory"), directoryFile);
        writeInclude(xml, idPrefix + folder.fileName() + u'-', names);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return saveFileAtomically(menuFilePath(), menu.trimmed() + '\n') && written;
}

void MenuFiles::remove() const {
    // Also the files named after the exact spelling, as earlier versions wrote them.
    for (const QString& stem : {fileStem(), stemOf(m_destination)}) {
        QFile::remove(mergedMenusFolder() + u'/' + stem + QStringLiteral(".menu"));
        const QStringList names =
            QDir(directoriesFolder()).entryList({stem + QStringLiteral("*")}, QDir::Files);
        for (const QString& name : names) {
            if (name == stem + QStringLiteral(".directory") || name.startsWith(stem + u'-')) {
                QFile::remove(directoriesFolder() + u'/' + name);
            }
        }
    }
}

}  // namespace qm
