#include "installer/lhazip.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>

#include "app/helpers.h"
#include "installer/archivecommand.h"
#include "installer/archiverlibrary.h"
#include "platform/prompt.h"

namespace qm {
namespace {

constexpr qint32 kOutputSize = 1024;

using Archiver = qint32 (*)(QWidget*, const char*, char*, qint32);

bool runArchiver(Archiver archiver, QWidget* window, const QString& commandLine) {
    QByteArray output(kOutputSize, ' ');
    return archiver(window, commandLine.toLocal8Bit().constData(), output.data(), kOutputSize) == 0;
}

}  // namespace

QString lzhCommandLine(const QString& archive, const QString& folder, const QString& command,
                       const QString& switches) {
    return command + u' ' + switches + u' ' + quoteIfNeeded(archive) + u' ' +
           quoteIfNeeded(withTrailingBackslash(folder)) + u' ';
}

QString zipCommandLine(const QString& archive, const QString& folder, const QString& options) {
    return options + u' ' + quoteIfNeeded(archive) + u' ' +
           quoteIfNeeded(withTrailingBackslash(folder)) + u' ';
}

qint32 lzhMelt(QWidget* window, const QString& archive, const QString& folder,
               const QString& command, const QString& switches) {
    const QFileInfo info(archive);
    if (archive.isEmpty() || !(info.exists() || info.isSymLink())) {
        messageBox(QCoreApplication::translate("qm::LhaZip", "ファイルが見つかりません。No.4"),
                   MsgOkOnly, QCoreApplication::translate("qm::LhaZip", "LzhMeltエラー"));
        return 1;
    }
    if (!runArchiver(&Unlha, window, lzhCommandLine(archive, folder, command, switches))) {
        messageBox(QCoreApplication::translate("qm::LhaZip", "解凍に失敗しました。No.5"),
                   MsgExclamation, QCoreApplication::translate("qm::LhaZip", "圧縮失敗"));
        return 1;
    }
    return 0;
}

qint32 zipMelt(QWidget* window, const QString& archive, const QString& folder,
               const QString& options) {
    if (!fileExists(archive)) {
        messageBox(QCoreApplication::translate("qm::LhaZip", "ファイルが存在しません。No.9"),
                   MsgOkOnly, QCoreApplication::translate("qm::LhaZip", "ZipMeltエラー"));
        return 1;
    }
    if (!runArchiver(&UnZip, window, zipCommandLine(archive, folder, options))) {
        messageBox(QCoreApplication::translate("qm::LhaZip", "解凍に失敗しました。No.10"),
                   MsgExclamation, QCoreApplication::translate("qm::LhaZip", "ZipMeltエラー"));
        return 1;
    }
    return 0;
}

}  // namespace qm
