#include "registration/folderlistbox.h"

#include <QStyle>
#include <QTimer>

#include "app/helpers.h"
#include "platform/pathbytes.h"
#include "platform/paths.h"
#include "registration/folderlisting.h"

namespace qm {
namespace {

constexpr int kIndexRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;

// The folder above folder ("/" above "/a"), "" for a bare name.
QString parentOf(const QString& folder) {
    const qsizetype p = folder.lastIndexOf(kSeparator);
    if (p < 0) {
        return QString();
    }
    return p == 0 ? QString(kSeparator) : folder.left(p);
}

// The folders from the root down to folder itself.
QStringList ancestorsAndSelf(const QString& folder) {
    QStringList chain;
    QString current = folder;
    while (!current.isEmpty()) {
        chain.prepend(current);
        const QString parent = parentOf(current);
        if (parent == current || parent.isEmpty()) {
            break;
        }
        current = parent;
    }
    return chain;
}

QString displayName(const QString& folder) {
    const QString name = lastPathPart(folder);
    return readableName(name.isEmpty() ? folder : name);
}

}  // namespace

FolderListBox::FolderListBox(QWidget* parent) : ChoiceListBox(parent) {
    setIconSize(QSize(16, 16));
}

void FolderListBox::setPath(const QString& folder) {
    const QString cleaned = folder.isEmpty() ? QString() : cleanPath(folder);
    if (cleaned == m_path) {
        return;
    }
    m_path = cleaned;
    fill();
    Q_EMIT pathChanged();
}

void FolderListBox::fill() {
    beginFill();
    if (folderExists(m_path)) {
        const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
        const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
        const QStringList chain = ancestorsAndSelf(m_path);
        for (int i = 0; i < chain.size(); ++i) {
            auto* item = new QListWidgetItem(openIcon, displayName(chain[i]));
            item->setData(kIndexRole, i - int(chain.size()));
            item->setData(kPathRole, chain[i]);
            addItem(item);
        }
        const QStringList names = listFolderNames(m_path);
        for (int i = 0; i < names.size(); ++i) {
            auto* item = new QListWidgetItem(closedIcon, readableName(names[i]));
            item->setData(kIndexRole, i);
            item->setData(kPathRole, joinPath(m_path, names[i]));
            addItem(item);
        }
        setListIndex(-1);
        scrollToOpenFolder();
    }
    endFill();
}

void FolderListBox::scrollToOpenFolder() {
    if (QListWidgetItem* open = currentItem()) {
        scrollToItem(open, QAbstractItemView::PositionAtTop);
    }
}

void FolderListBox::showEvent(QShowEvent* event) {
    ChoiceListBox::showEvent(event);
    // Filled before the list had its size, the scroll position left the open folder half
    // hidden; now that it is laid out, show it whole.
    QTimer::singleShot(0, this, &FolderListBox::scrollToOpenFolder);
}

int FolderListBox::listIndex() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->data(kIndexRole).toInt() : -1;
}

void FolderListBox::setListIndex(int index) {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(kIndexRole).toInt() == index) {
            setCurrentRow(row);
            return;
        }
    }
}

void FolderListBox::itemOpened(QListWidgetItem* item) {
    if (item->data(kIndexRole).toInt() >= 0) {
        setPath(item->data(kPathRole).toString());
    }
}

}  // namespace qm
