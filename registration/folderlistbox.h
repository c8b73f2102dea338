#pragma once

#include "registration/choicelistbox.h"

namespace qm {

// An open folder shown with its ancestors above it and its sub-folders below it. The list index
// of a row is -1 for the open folder, -2 and below for its ancestors (nearest first), 0 and up for
// the sub-folders. Double-clicking a sub-folder opens it.
class FolderListBox : public ChoiceListBox {
    Q_OBJECT

public:
    explicit FolderListBox(QWidget* parent = nullptr);

    // Opens a folder; raises pathChanged when it differs from the open one. A folder that cannot
    // be listed is kept as the path with an empty list.
    void setPath(const QString& folder);
    QString path() const { return m_path; }

    // The chosen row's index; -1 (the open folder) when no row is chosen.
    int listIndex() const;
    void setListIndex(int index);

Q_SIGNALS:
    void pathChanged();

protected:
    void itemOpened(QListWidgetItem* item) override;
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    void scrollToOpenFolder();

    QString m_path;
};

}  // namespace qm
