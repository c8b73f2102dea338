#pragma once

#include <QString>

#include "app/translatedtext.h"

namespace qm {

// Message texts that more than one window shows, translated where they are shown.

// A shortcut could not be written.
inline constexpr TranslatedText kShortcutFailedMessage{
    "qm::Messages",
    QT_TRANSLATE_NOOP("qm::Messages",
                      "正常にプロセスできませんでした。ショートカットとそのフォルダに書き込めるか"
                      "確かめてください。")};

// Moving or copying a folder's contents failed.
inline constexpr TranslatedText kTransferErrorMessage{
    "qm::Messages",
    QT_TRANSLATE_NOOP("qm::Messages",
                      "ファイル転送エラー。当ソフトを再起動して再試行してみてください。")};

}  // namespace qm
