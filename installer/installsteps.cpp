#include "installer/installsteps.h"

#include <QFile>
#include <QFileInfo>

#include "app/translatedtext.h"
#include "installer/extractionmessage.h"
#include "installer/extractionrunner.h"
#include "installer/stagingfolder.h"
#include "platform/prompt.h"

namespace qm {
namespace {

const TranslatedText kMissing{"qm::InstallSteps",
                              QT_TRANSLATE_NOOP("qm::InstallSteps", "ファイルが見つかりません。")};
const TranslatedText kExtractionError{"qm::InstallSteps",
                                      QT_TRANSLATE_NOOP("qm::InstallSteps", "解凍エラー")};
const TranslatedText kInstallError{"qm::InstallSteps",
                                   QT_TRANSLATE_NOOP("qm::InstallSteps", "インストールエラー")};

// The execute bits that go with the read bits a file has.
QFile::Permissions withExecute(QFile::Permissions permissions) {
    if (permissions & QFile::ReadOwner) {
        permissions |= QFile::ExeOwner | QFile::ExeUser;
    }
    if (permissions & QFile::ReadGroup) {
        permissions |= QFile::ExeGroup;
    }
    if (permissions & QFile::ReadOther) {
        permissions |= QFile::ExeOther;
    }
    return permissions;
}

}  // namespace

qint32 archiveMelt(QWidget* window, const QString& archive, const QString& folder) {
    if (!QFileInfo(archive).isFile()) {
        messageBox(kMissing, MsgOkOnly, kExtractionError);
        return 1;
    }
    const ExtractionResult result = runExtraction(window, archive, folder);
    if (!result.ok()) {
        const QString cause = extractionFailureText(result);
        if (!cause.isEmpty()) {
            messageBox(QCoreApplication::translate("qm::InstallSteps", "解凍に失敗しました。") +
                           QChar(10) + cause,
                       MsgExclamation, kExtractionError);
        }
        return 1;
    }
    return 0;
}

qint32 programPlace(const QString& file, const QString& folder) {
    const QFileInfo info(file);
    if (!info.isFile()) {
        messageBox(kMissing, MsgOkOnly, kInstallError);
        return 1;
    }
    const bool appImage =
        info.fileName().endsWith(QStringLiteral(".appimage"), Qt::CaseInsensitive);
    bool placed = false;
    runWhileResponsive([&] {
        StagingFolder staging;
        const QString copy =
            staging.create(folder) ? staging.path() + u'/' + info.fileName() : QString();
        placed =
            !copy.isEmpty() && QFile::copy(file, copy) &&
            (!appImage || QFile::setPermissions(copy, withExecute(QFile::permissions(copy)))) &&
            staging.commit(folder);
    });
    if (!placed) {
        messageBox(QCoreApplication::translate("qm::InstallSteps",
                                               "プログラムファイルをコピーできませんでした。"),
                   MsgExclamation, kInstallError);
        return 1;
    }
    return 0;
}

}  // namespace qm
