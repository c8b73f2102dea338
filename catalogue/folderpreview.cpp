#include "catalogue/folderpreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

#include "app/helpers.h"
#include "catalogue/catalogueloader.h"
#include "platform/programicon.h"

namespace qm {
namespace {

constexpr int kLargeIconSize = 32;

}  // namespace

FolderPreview::FolderPreview(QLabel* icon, QListWidget* files, QPlainTextEdit* text)
    : m_icon(icon), m_files(files), m_text(text) {}

QString FolderPreview::noReadmeText() {
    return QCoreApplication::translate("qm::FolderPreview", "Readme.txt がありません。");
}

void FolderPreview::showEntry(const QString& exe, const QString& folderPath) {
    m_icon->clear();
    const QString onDisk = programFileOnDisk(exe);
    if (!onDisk.isEmpty()) {
        const QPixmap icon = programIcon(onDisk, kLargeIconSize);
        if (!icon.isNull()) {
            m_icon->setPixmap(icon);
        }
    }
    if (!folderExists(folderPath)) {
        m_text->setPlainText(noReadmeText());
        return;
    }
    const QString readme = joinPath(folderPath, QStringLiteral("readme.txt"));
    if (fileExists(readme)) {
        showTextFile(readme, m_text);
    } else {
        m_text->setPlainText(noReadmeText());
    }
    listTextFiles(folderPath);
}

void FolderPreview::showSelectedFile() {
    const QListWidgetItem* item = m_files->currentItem();
    if (!item || m_folder.isEmpty()) {
        return;
    }
    showTextFile(joinPath(m_folder, item->text()), m_text);
}

void FolderPreview::listTextFiles(const QString& folderPath) {
    m_folder = folderPath;
    const QStringList names =
        QDir(folderPath)
            .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    m_files->clear();
    m_files->addItems(names);
}

}  // namespace qm
