#include "registration/filelistbox.h"

#include "platform/pathbytes.h"

namespace qm {
namespace {

constexpr int kNameRole = Qt::UserRole;

}  // namespace

FileListBox::FileListBox(FileFilter filter, QWidget* parent)
    : ChoiceListBox(parent), m_filter(std::move(filter)) {}

void FileListBox::setPath(const QString& folder) {
    m_path = folder;
    beginFill();
    for (const QString& name : listFileNames(folder, m_filter)) {
        // Shown readably; the name itself (which may hold bytes that are not text) is kept.
        auto* item = new QListWidgetItem(readableName(name));
        item->setData(kNameRole, name);
        addItem(item);
    }
    setCurrentRow(-1);
    endFill();
}

void FileListBox::setListIndex(int index) {
    setCurrentRow(index);
}

QString FileListBox::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->data(kNameRole).toString() : QString();
}

}  // namespace qm
