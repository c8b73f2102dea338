#include "app/appearance.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>

namespace qm {

void useProgramLook() {
    QFont font = QApplication::font();
    if (QFontDatabase::families().contains(QStringLiteral("IPAexGothic"))) {
        font.setFamily(QStringLiteral("IPAexGothic"));
    }
    font.setPointSize(9);
    QApplication::setFont(font);
    // Built into the executable from data/quillmorn.svg.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillmorn.svg")));
}

}  // namespace qm
