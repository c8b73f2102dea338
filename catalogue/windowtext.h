#pragma once

#include <QCoreApplication>
#include <QString>

namespace qm {

// A text of the catalogue window, translated in the window's own context: the buttons, menus
// and row actions made outside the window class keep the window's translations.
inline QString catalogueWindowText(const char* source) {
    return QCoreApplication::translate("qm::CatalogueWindow", source);
}

}  // namespace qm
