#pragma once

#include <QString>

namespace qm {

// Message texts that more than one window shows.

// A shortcut could not be written.
inline const QString kShortcutFailedMessage = QStringLiteral(
    "正常にプロセスできませんでした。こちらはWindowsスクリプティングホストを使用しています。詳し"
    "くはReadme.txtをご覧ください。");

// Moving or copying a folder's contents failed.
inline const QString kTransferErrorMessage =
    QStringLiteral("ファイル転送エラー。当ソフトを再起動して再試行してみてください。");

}  // namespace qm
