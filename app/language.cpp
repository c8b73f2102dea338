#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qm {
namespace {

QTranslator& programTranslator() {
    static QTranslator translator;
    return translator;
}

QTranslator& qtTranslator() {
    static QTranslator translator;
    return translator;
}

bool isEnglish(const QString& language) {
    return language == u"en" || language.startsWith(u"en-") || language.startsWith(u"en_");
}

}  // namespace

UiLanguage chooseLanguage() {
    return chooseLanguage(qEnvironmentVariable("QUILLMORN_LANG"), QLocale::system().uiLanguages());
}

UiLanguage chooseLanguage(const QString& override, const QStringList& uiLanguages) {
    const QString wanted = override.trimmed().toLower();
    if (wanted == u"en") {
        return UiLanguage::English;
    }
    if (wanted == u"ja") {
        return UiLanguage::Japanese;
    }
    // The C and POSIX locales ("C") are those of a system set up without a language: Japanese.
    return !uiLanguages.isEmpty() && isEnglish(uiLanguages.first()) ? UiLanguage::English
                                                                    : UiLanguage::Japanese;
}

bool installTranslations(UiLanguage language) {
    removeTranslations();
    if (language == UiLanguage::English) {
        if (!programTranslator().load(QStringLiteral(":/translations/quillmorn_en.qm"))) {
            return false;
        }
        return QCoreApplication::installTranslator(&programTranslator());
    }
    if (!qtTranslator().load(QStringLiteral("qtbase_ja"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&qtTranslator());
}

void removeTranslations() {
    QCoreApplication::removeTranslator(&programTranslator());
    QCoreApplication::removeTranslator(&qtTranslator());
}

}  // namespace qm
