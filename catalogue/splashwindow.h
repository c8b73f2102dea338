#pragma once

#include "app/form.h"

namespace qm {

// The splash (Form6), shown while the catalogue builds its list; it has no behaviour of its own.
class SplashWindow : public Form {
    Q_OBJECT

public:
    SplashWindow();
};

}  // namespace qm
