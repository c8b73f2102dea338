#pragma once

#include <QString>

namespace qm {

// Values the program writes into its files in Japanese whatever the language of the run, since
// lists are shared between users and runs: the category and description "未設定" and the program
// "不明". They are shown translated and stored unchanged.

// The text to show for a stored value: the translation of a placeholder, anything else as it is.
QString shownText(const QString& stored);
// The value to store for a shown text: a shown placeholder goes back to the stored one.
QString storedText(const QString& shown);

}  // namespace qm
