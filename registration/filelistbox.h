#pragma once

#include "registration/choicelistbox.h"
#include "registration/folderlisting.h"

namespace qm {

// The files of one folder that pass a filter, by name.
class FileListBox : public ChoiceListBox {
    Q_OBJECT

public:
    explicit FileListBox(FileFilter filter, QWidget* parent = nullptr);

    // Lists folder (nothing when it cannot be listed); no file is chosen afterwards.
    void setPath(const QString& folder);
    QString path() const { return m_path; }

    int listCount() const { return count(); }
    int listIndex() const { return currentRow(); }
    void setListIndex(int index);
    // The chosen file's name, or "".
    QString fileName() const;

private:
    FileFilter m_filter;
    QString m_path;
};

}  // namespace qm
