#include "shortcuts/rebuildreport.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace qm {
namespace {

QString reasonText(SkippedRecord::Reason reason) {
    switch (reason) {
        case SkippedRecord::UnusableName:
            return QCoreApplication::translate("qm::LinkWindow", "名前をファイル名に使えません");
        case SkippedRecord::UnusableCategory:
            return QCoreApplication::translate("qm::LinkWindow", "分類をフォルダ名に使えません");
        case SkippedRecord::NoProgram:
            return QCoreApplication::translate("qm::LinkWindow", "プログラムのファイルが不明です");
        case SkippedRecord::Unwritable:
            break;
    }
    return QCoreApplication::translate("qm::LinkWindow", "ショートカットを書き込めません");
}

bool isWindowsProgram(const QString& path) {
    return path.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
}

}  // namespace

QString skippedRecordsReport(const QList<SkippedRecord>& skipped) {
    if (skipped.isEmpty()) {
        return QString();
    }
    QString text = QCoreApplication::translate(
        "qm::LinkWindow",
        "次の登録にはショートカットを作成できませんでした。ほかの登録のショートカットは"
        "作成しました。");
    text += u'\n';
    for (const SkippedRecord& entry : skipped) {
        text += QCoreApplication::translate("qm::LinkWindow", "\n・「%1」: %2")
                    .arg(entry.record.name, reasonText(entry.reason));
    }
    return text;
}

bool needsMissingWine(const QList<CatalogueEntry>& records) {
#ifdef Q_OS_WIN
    Q_UNUSED(records);
    return false;
#else
    const bool windowsProgram =
        std::any_of(records.begin(), records.end(), [](const CatalogueEntry& record) {
            return record.state == 1 && isWindowsProgram(record.exe);
        });
    return windowsProgram && QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty();
#endif
}

}  // namespace qm
