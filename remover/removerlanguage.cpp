#include "remover/removerlanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qmclean {

bool chooseEnglish(const QString& override, const QStringList& uiLanguages) {
    const QString wanted = override.trimmed().toLower();
    if (wanted == u"en" || wanted == u"ja") {
        return wanted == u"en";
    }
    if (uiLanguages.isEmpty()) {
        return false;
    }
    const QString first = uiLanguages.first();
    return first == u"en" || first.startsWith(u"en-") || first.startsWith(u"en_");
}

bool installRemoverTranslations() {
    static QTranslator translator;
    const bool english =
        chooseEnglish(qEnvironmentVariable("QUILLMORN_LANG"), QLocale::system().uiLanguages());
    const bool loaded = english
                            ? translator.load(QStringLiteral(":/translations/qmornclean_en.qm"))
                            : translator.load(QStringLiteral("qtbase_ja"),
                                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return loaded && QCoreApplication::installTranslator(&translator);
}

}  // namespace qmclean
