#pragma once

#include <QPixmap>

namespace qm {

// The two built-in 16 by 16 marks of the catalogue: a registered entry and an unregistered one.
QPixmap registeredMark();
QPixmap unregisteredMark();

}  // namespace qm
