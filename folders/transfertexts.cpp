#include "folders/transfertexts.h"

#include <QCoreApplication>
#include <QLocale>

#include "app/messages.h"
#include "platform/pathbytes.h"
#include "platform/systemerror.h"

namespace qm {
namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("qm::TransferTexts", text);
}

// The most files a message lists by name.
constexpr qsizetype kListedFiles = 20;

QString fileList(const QStringList& files) {
    QStringList shown;
    for (qsizetype i = 0; i < files.size() && i < kListedFiles; ++i) {
        shown.append(readableName(files[i]));
    }
    if (files.size() > kListedFiles) {
        shown.append(translated(QT_TRANSLATE_NOOP("qm::TransferTexts", "ほか %1 件"))
                         .arg(files.size() - kListedFiles));
    }
    return shown.join(u'\n');
}

}  // namespace

QString transferFailureText(const TransferOutcome& outcome, const QString& source,
                            const QString& destination) {
    using Problem = TransferOutcome::Problem;
    const QString path = readableName(outcome.path);
    const QString nothingMoved =
        translated(QT_TRANSLATE_NOOP("qm::TransferTexts", "何も移動していません。"));
    switch (outcome.problem) {
        case Problem::None:
            break;
        case Problem::Unmovable:
            return translated(QT_TRANSLATE_NOOP("qm::TransferTexts",
                                                "%1 "
                                                "はパイプ、ソケットまたはデバイスのため、別のファイ"
                                                "ルシステムへは移動できま"
                                                "せん。"))
                       .arg(path) +
                   nothingMoved;
        case Problem::Unreadable:
            return translated(QT_TRANSLATE_NOOP("qm::TransferTexts", "%1 を読み取れません（%2）。"))
                       .arg(path, systemErrorText(outcome.error)) +
                   nothingMoved;
        case Problem::Unwritable:
            return translated(
                       QT_TRANSLATE_NOOP("qm::TransferTexts",
                                         "%1 から中身を削除する権限がないため移動できません。"))
                       .arg(path) +
                   nothingMoved;
        case Problem::HeldOpen:
            return translated(QT_TRANSLATE_NOOP("qm::TransferTexts",
                                                "%1 "
                                                "は他のプログラムが開いています。そのプログラムを閉"
                                                "じてから、もう一度移動"
                                                "してください。"))
                       .arg(path) +
                   nothingMoved;
        case Problem::MountPoint:
            return translated(
                       QT_TRANSLATE_NOOP(
                           "qm::TransferTexts",
                           "%1 には別のファイルシステムがマウントされているため移動できません。"))
                       .arg(path) +
                   nothingMoved;
        case Problem::NoSpace: {
            const QLocale locale;
            return translated(
                       QT_TRANSLATE_NOOP("qm::TransferTexts",
                                         "移動先 %1 の空き容量が足りません（必要 %2、空き %3）。"))
                       .arg(readableName(destination), locale.formattedDataSize(outcome.needed),
                            locale.formattedDataSize(outcome.available)) +
                   nothingMoved;
        }
        case Problem::Failed:
            if (outcome.putBack) {
                return translated(
                           QT_TRANSLATE_NOOP(
                               "qm::TransferTexts",
                               "%1 を移動できませんでした（%2）。移動したものは元に戻しました。"))
                    .arg(path, systemErrorText(outcome.error));
            }
            return translated(
                       QT_TRANSLATE_NOOP("qm::TransferTexts",
                                         "%1 を移動できず（%2）、元に戻すこともできませんでした。\n"
                                         "移動先 %3 にあるファイル:\n%4\n"
                                         "残りは移動元 %5 "
                                         "にあります。もう一度同じ移動先へ移動すると続きを移動しま"
                                         "す。"))
                .arg(path, systemErrorText(outcome.error), readableName(destination),
                     fileList(outcome.arrived), readableName(source));
    }
    return kTransferErrorMessage;
}

}  // namespace qm
