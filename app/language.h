#pragma once

#include <QString>
#include <QStringList>

namespace qm {

// The languages the program speaks. Japanese is the source language: its texts are in the code.
enum class UiLanguage { Japanese, English };

// The language for a run: QUILLMORN_LANG ("ja" or "en") when set to one of them, else English
// when the user's first UI language is English, else Japanese (the C and POSIX locales and any
// language without a translation included).
UiLanguage chooseLanguage();
UiLanguage chooseLanguage(const QString& override, const QStringList& uiLanguages);

// Installs the translators for a language on the application: the program's English texts
// (built into the executable), or Qt's own Japanese texts. False when a translation is missing.
bool installTranslations(UiLanguage language);
// Removes what installTranslations() installed (tests switch languages).
void removeTranslations();

}  // namespace qm
