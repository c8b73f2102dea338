#include "installer/lhazip.h"

#include <QByteArray>
#include <QCoreApplication>

#include "app/helpers.h"
#include "installer/archivecommand.h"
#include "installer/archiverlibrary.h"
#include "installer/extractionmessage.h"
#include "platform/filesystem.h"
#include "platform/prompt.h"

namespace qm {
namespace {

constexpr qint32 kOutputSize = 1024;

using Archiver = qint32 (*)(QWidget*, const char*, char*, qint32);

// Runs the archiver; on failure says why in one message under the archiver's own first line,
// unless the user cancelled.
bool runArchiver(Archiver archiver, QWidget* window, const QString& commandLine,
                 const QString& failed, const QString& title) {
    QByteArray output(kOutputSize, ' ');
    const qint32 result =
        archiver(window, commandLine.toLocal8Bit().constData(), output.data(), kOutputSize);
    if (result == 0) {
        return true;
    }
    const QString cause = extractionFailureText(archiverFailure(result, output.constData()));
    if (!cause.isEmpty()) {
        messageBox(failed + QChar(10) + cause, MsgExclamation, title);
    }
    return false;
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
    if (archive.isEmpty() || !qm::fileSystem().status(archive).exists()) {
        messageBox(QCoreApplication::translate("qm::LhaZip", "ファイルが見つかりません。No.4"),
                   MsgOkOnly, QCoreApplication::translate("qm::LhaZip", "LzhMeltエラー"));
        return 1;
    }
    if (!runArchiver(&Unlha, window, lzhCommandLine(archive, folder, command, switches),
                     QCoreApplication::translate("qm::LhaZip", "解凍に失敗しました。No.5"),
                     QCoreApplication::translate("qm::LhaZip", "圧縮失敗"))) {
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
    if (!runArchiver(&UnZip, window, zipCommandLine(archive, folder, options),
                     QCoreApplication::translate("qm::LhaZip", "解凍に失敗しました。No.10"),
                     QCoreApplication::translate("qm::LhaZip", "ZipMeltエラー"))) {
        return 1;
    }
    return 0;
}

}  // namespace qm
