#pragma once

#include <QString>
#include <QStringList>

namespace qmclean {

// Where the main program keeps its preferences: application "orvalde", section "qmorn".
inline constexpr char16_t kApplication[] = u"orvalde";
inline constexpr char16_t kSection[] = u"qmorn";

// Deletes a section, with every value in it, from the per-user settings store the main program
// writes. Application and section names are matched without regard to case; the application
// itself and its other sections stay. On Linux the store is one INI file per application in the
// user's configuration folder ($XDG_CONFIG_HOME/<application>.ini), one group per section; on
// Windows it is the registry under HKEY_CURRENT_USER\Software.
class SettingsRemover {
public:
    // False when there was no such section or the store could not be written.
    static bool removeSection(const QString& application, const QString& section);

    // The store files of an application (Linux, or a portable folder): every file in the store
    // folder whose name is application + ".ini" without regard to case.
    static QStringList storeFiles(const QString& application);

    // A portable folder whose INI files are the store instead of the user's configuration folder
    // (or the registry); "" for the normal store.
    static void setStoreFolder(const QString& folder);
};

}  // namespace qmclean
