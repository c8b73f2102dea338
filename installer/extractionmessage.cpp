#include "installer/extractionmessage.h"

#include <QCoreApplication>

namespace qm {
namespace {

const char* causeText(ExtractionError error) {
    switch (error) {
        case ExtractionError::None:
        case ExtractionError::Cancelled:
            return nullptr;
        case ExtractionError::Open:
            return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                                     "このファイルはアーカイブとして読めません。LZH、ZIP、7z、RAR、"
                                     "CAB、tar のアーカイブを指定してください。");
        case ExtractionError::Corrupt:
            return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                                     "アーカイブが壊れているか、途中で切れています。ダウンロードし"
                                     "直すなどして、完全なファイルでもう一度インストールしてくださ"
                                     "い。");
        case ExtractionError::Unsafe:
            return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                                     "アーカイブに、新しいフォルダの外へ書き出そうとする項目があり"
                                     "ます。安全のため何も書き出していません。配布元に確かめてくだ"
                                     "さい。");
        case ExtractionError::Unsupported:
            return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                                     "アーカイブに扱えない種類の項目（デバイスファイルなど）があり"
                                     "ます。何も書き出していません。");
        case ExtractionError::DiskFull:
            return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                                     "作業フォルダのディスクの空きが足りません。空きを作ってからも"
                                     "う一度インストールしてください。");
        case ExtractionError::NoPermission:
            return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                                     "作業フォルダに書き込む権限がありません。書き込めるフォルダを"
                                     "作業フォルダにしてから、もう一度インストールしてください。");
        case ExtractionError::Limit:
            return QT_TRANSLATE_NOOP(
                "qm::ExtractionMessage",
                "展開した大きさが圧縮された大きさに比べて桁外れに大きいため、"
                "解凍を中止しました。信頼できるアーカイブか確かめてください。");
        case ExtractionError::Oversized:
            return QT_TRANSLATE_NOOP(
                "qm::ExtractionMessage",
                "アーカイブの目録を読むのに、普通のアーカイブではありえないほどのメモリか時間が"
                "かかるため、読むのをやめました。壊れているか、悪意のあるアーカイブです。");
        case ExtractionError::Write:
            break;
    }
    return QT_TRANSLATE_NOOP("qm::ExtractionMessage",
                             "ファイルを書き出せませんでした。作業フォルダを確かめてから、もう一"
                             "度インストールしてください。");
}

}  // namespace

QString extractionFailureText(const ExtractionResult& result) {
    const char* cause = causeText(result.error);
    if (!cause) {
        return QString();
    }
    QString text = QCoreApplication::translate("qm::ExtractionMessage", cause);
    if (!result.entry.isEmpty()) {
        text += QChar(10) +
                QCoreApplication::translate("qm::ExtractionMessage", "項目: %1").arg(result.entry);
    }
    return text;
}

}  // namespace qm
