#include "platform/utf8locale.h"

#include <clocale>
#include <cstring>

#ifndef Q_OS_WIN
#include <langinfo.h>
#endif

namespace qm {

void ensureUtf8Locale() {
#ifndef Q_OS_WIN
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)) {
        return;
    }
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) {
        std::setlocale(LC_CTYPE, "C.utf8");
    }
#endif
}

}  // namespace qm
