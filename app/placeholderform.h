#pragma once

#include "app/form.h"

namespace qm {

// A window that only shows its caption, for windows still being built.
class PlaceholderForm : public Form {
    Q_OBJECT

public:
    PlaceholderForm(WindowKind kind, const QString& caption);
};

}  // namespace qm
