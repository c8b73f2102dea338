#pragma once

#include "app/form.h"

class QLabel;

namespace qm {

// The splash (Form6), shown while the catalogue builds its list.
class SplashWindow : public Form {
    Q_OBJECT

public:
    SplashWindow();
    // Shows how many folders and records the list has taken in so far.
    void showProgress(qint64 done);

private:
    QLabel* m_status;
};

}  // namespace qm
