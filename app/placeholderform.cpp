#include "app/placeholderform.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qm {

PlaceholderForm::PlaceholderForm(WindowKind kind, const QString& caption) : Form(kind) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(caption, this));
}

}  // namespace qm
