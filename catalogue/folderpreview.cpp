#include "catalogue/folderpreview.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

#include <algorithm>

#include "app/helpers.h"
#include "catalogue/catalogueloader.h"
#include "platform/filesystem.h"
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
    // Listed by the folder's bytes, so that a folder whose name is not text shows its files.
    QStringList names;
    for (const FolderEntry& entry : fileSystem().list(folderPath).value_or(QList<FolderEntry>())) {
        if (entry.status.isFile() && !entry.name.startsWith(u'.') &&
            entry.name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) {
            names.append(entry.name);
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    m_files->clear();
    m_files->addItems(names);
}

}  // namespace qm
