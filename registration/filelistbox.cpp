#include "registration/filelistbox.h"

namespace qm {

FileListBox::FileListBox(FileFilter filter, QWidget* parent)
    : ChoiceListBox(parent), m_filter(std::move(filter)) {}

void FileListBox::setPath(const QString& folder) {
    m_path = folder;
    beginFill();
    addItems(listFileNames(folder, m_filter));
    setCurrentRow(-1);
    endFill();
}

void FileListBox::setListIndex(int index) {
    setCurrentRow(index);
}

QString FileListBox::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

}  // namespace qm
