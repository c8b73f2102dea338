#include "app/folderbrowse.h"

#include "platform/paths.h"
#include "platform/prompt.h"

namespace qm {

QString browseForFolder(QWidget* owner, const QString& title) {
    QString chosen = cutAtNul(Prompt::instance().chooseFolder(owner, title));
    while (chosen.size() > 1 && chosen.endsWith(kSeparator)) {
        chosen.chop(1);
    }
    return chosen;
}

QString cutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

}  // namespace qm
