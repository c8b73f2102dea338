#include "remover/appearance.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace qmclean {

bool loadQtTranslation() {
    static QTranslator translator;
    if (!translator.isEmpty()) {
        return true;
    }
    if (!translator.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

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

}  // namespace qmclean
