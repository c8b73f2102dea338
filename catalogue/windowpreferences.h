#pragma once

class QWidget;

namespace qm {

// The catalogue window's stored choices: its size, the compact layout and the registration at
// start. An option is stored as "1" or "0"; only the number 1 reads as on.
class CatalogueWindowPreferences {
public:
    static bool compactLayout();
    static bool registerAtStart();
    static void storeOptions(bool compactLayout, bool registerAtStart);

    // Gives the window its stored size (never below what its controls need), if one is stored.
    static void restoreSize(QWidget& window);
    // Stores the window's normal size, also while it is maximised.
    static void storeSize(const QWidget& window);
};

}  // namespace qm
