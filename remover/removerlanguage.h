#pragma once

#include <QString>
#include <QStringList>

namespace qmclean {

// The remover speaks the main program's language, chosen by the same rule: QUILLMORN_LANG ("ja"
// or "en") when set to one of them, else English when the user's first UI language is English,
// else Japanese (the source language, whose texts are in the code).
bool chooseEnglish(const QString& override, const QStringList& uiLanguages);

// Installs the remover's English texts (built into the executable) or Qt's own Japanese texts,
// as the rule above decides for this run. False when the translation is missing.
bool installRemoverTranslations();

}  // namespace qmclean
