#include "language.h"

#include <QLocale>

namespace Language {

namespace {

InterfaceLanguage languageOfThisRun = InterfaceLanguage::Traditional;

} // namespace

const char *const settingsKey = "interfaceLanguage";

QString code(InterfaceLanguage language)
{
    return language == InterfaceLanguage::Simplified ? QStringLiteral("zh_CN")
                                                     : QStringLiteral("zh_TW");
}

bool fromCode(const QString &text, InterfaceLanguage *language)
{
    for (InterfaceLanguage known :
         {InterfaceLanguage::Traditional, InterfaceLanguage::Simplified}) {
        if (text == code(known)) {
            *language = known;
            return true;
        }
    }
    return false;
}

InterfaceLanguage systemLanguage(const QStringList &uiLanguages)
{
    if (uiLanguages.isEmpty())
        return InterfaceLanguage::Traditional;
    // QLocale fills in the script a name leaves out: zh_CN and zh_SG are
    // written in simplified characters, zh_TW, zh_HK and zh_MO in
    // traditional ones.
    QString name = uiLanguages.first();
    const QLocale locale(name.replace(QLatin1Char('-'), QLatin1Char('_')));
    return locale.language() == QLocale::Chinese && locale.script() == QLocale::SimplifiedHanScript
                   ? InterfaceLanguage::Simplified
                   : InterfaceLanguage::Traditional;
}

InterfaceLanguage startLanguage(const QStringList &uiLanguages, const QString &saved)
{
    InterfaceLanguage language;
    return fromCode(saved, &language) ? language : systemLanguage(uiLanguages);
}

InterfaceLanguage inUse()
{
    return languageOfThisRun;
}

void setInUse(InterfaceLanguage language)
{
    languageOfThisRun = language;
}

} // namespace Language
