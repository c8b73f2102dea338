#include "installer/installsteps.h"

#include "app/translatedtext.h"
#include "installer/extractionmessage.h"
#include "installer/extractionrunner.h"
#include "platform/filesystem.h"
#include "platform/prompt.h"
#include "platform/regularfile.h"
#include "platform/stagingfolder.h"

namespace qm {
namespace {

const TranslatedText kMissing{"qm::InstallSteps",
                              QT_TRANSLATE_NOOP("qm::InstallSteps", "ファイルが見つかりません。")};
const TranslatedText kExtractionError{"qm::InstallSteps",
                                      QT_TRANSLATE_NOOP("qm::InstallSteps", "解凍エラー")};
const TranslatedText kInstallError{"qm::InstallSteps",
                                   QT_TRANSLATE_NOOP("qm::InstallSteps", "インストールエラー")};

}  // namespace

qint32 archiveMelt(QWidget* window, const QString& archive, const QString& folder) {
    if (!fileSystem().status(archive).isFile()) {
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
    if (!fileSystem().status(file).isFile()) {
        messageBox(kMissing, MsgOkOnly, kInstallError);
        return 1;
    }
    const QString name = FsPath(file).fileName();
    const bool appImage = name.endsWith(QStringLiteral(".appimage"), Qt::CaseInsensitive);
    bool placed = false;
    runWhileResponsive([&] {
        StagingFolder staging;
        const QString copy = staging.create(folder) ? staging.path() + u'/' + name : QString();
        placed = !copy.isEmpty() && copyRegularFile(file, copy, appImage) && staging.commit(folder);
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
