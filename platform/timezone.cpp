#include "platform/timezone.h"

#include <QtGlobal>

#include <cstdlib>

namespace qm {

void readTimeZoneOnce() {
#ifndef Q_OS_WIN
    if (!std::getenv("TZ")) {
        ::setenv("TZ", ":/etc/localtime", 0);
    }
#endif
}

}  // namespace qm
