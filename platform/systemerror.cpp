#include "platform/systemerror.h"

#include <QCoreApplication>

#include <cerrno>

namespace qm {
namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("qm::SystemError", text);
}

}  // namespace

QString systemErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return translated(QT_TRANSLATE_NOOP("qm::SystemError", "権限がありません"));
        case EBUSY:
        case ETXTBSY:
            return translated(QT_TRANSLATE_NOOP("qm::SystemError", "使用中です"));
        case ENOSPC:
        case EDQUOT:
            return translated(QT_TRANSLATE_NOOP("qm::SystemError", "空き容量が足りません"));
        case EROFS:
            return translated(
                QT_TRANSLATE_NOOP("qm::SystemError", "読み取り専用のファイルシステムです"));
        case ENOTEMPTY:
        case EEXIST:
            return translated(
                QT_TRANSLATE_NOOP("qm::SystemError", "同じ名前のものがあるか、空ではありません"));
        case ENOENT:
            return translated(QT_TRANSLATE_NOOP("qm::SystemError", "見つかりません"));
        case EIO:
            return translated(QT_TRANSLATE_NOOP("qm::SystemError", "読み書きに失敗しました"));
        case ELOOP:
        case ENOTDIR:
            return translated(
                QT_TRANSLATE_NOOP("qm::SystemError", "途中でリンクかファイルに置き換えられました"));
        case EXDEV:
            return translated(
                QT_TRANSLATE_NOOP("qm::SystemError", "別のファイルシステムにあります"));
        default:
            return translated(QT_TRANSLATE_NOOP("qm::SystemError", "エラー番号 %1")).arg(error);
    }
}

}  // namespace qm
