#pragma once

#include <QString>

namespace qm {

// The program's own preferences: application "Orvalde", section "qmorn" of the settings store.
QString readPreference(const QString& key, const QString& defaultValue = QString());
// A value that cannot be stored is reported once in a run.
void writePreference(const QString& key, const QString& value);

}  // namespace qm
