#include "remover/portablefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include "remover/removerprompt.h"
#include "remover/settingsremover.h"

namespace qmclean {
namespace {

bool canWriteIn(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.qmornclean-probe-XXXXXX"));
    return QFileInfo(folder).isDir() && probe.open();
}

}  // namespace

bool PortableFolder::apply(const QStringList& arguments, const QString& executableFolder) {
    SettingsRemover::setStoreFolder(QString());
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(executableFolder));
    const bool switchGiven = !arguments.isEmpty() && arguments.first() == u"--portable";
    if (!switchGiven && !QFileInfo::exists(folder + QStringLiteral("/portable"))) {
        return false;
    }
    if (!canWriteIn(folder)) {
        RemoverPrompt::instance().message(
            nullptr,
            QCoreApplication::translate(
                "qmclean::PortableFolder",
                "ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。\n") +
                QDir::toNativeSeparators(folder),
            QString::fromUtf16(kTitle));
        return false;
    }
    SettingsRemover::setStoreFolder(folder);
    return true;
}

}  // namespace qmclean
