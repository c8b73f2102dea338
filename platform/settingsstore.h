#pragma once

#include <QString>

namespace qm {

// The per-user settings store: applications hold sections, sections hold string values.
// Application, section and key names are compared without regard to case.
// On Linux one INI file per application in $XDG_CONFIG_HOME, one group per section; on Windows
// the registry under HKEY_CURRENT_USER\Software. In portable mode the INI file beside the
// executable.
class SettingsStore {
public:
    static QString read(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue = QString());
    // False when the value could not be stored (a read-only folder or file).
    static bool write(const QString& application, const QString& section, const QString& key,
                      const QString& value);
    // Where the values of application are kept, as shown to the user.
    static QString location(const QString& application);
    // Deletes a section with every value in it; false when there was no such section.
    static bool deleteSection(const QString& application, const QString& section);
    static bool hasSection(const QString& application, const QString& section);
};

}  // namespace qm
