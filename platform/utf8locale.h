#pragma once

namespace qm {

// Archive names are converted through the C library's locale, which must be a UTF-8 one: when
// the current character type is not UTF-8 (LANG unset, or naming a locale that is not installed)
// it is switched to C.UTF-8.
void ensureUtf8Locale();

}  // namespace qm
