#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

// The program carries its own translation and, on Windows, which has no
// shared folder of them, Qt's. (Resources are set up outside any namespace.)
static QString resourceFolder()
{
    Q_INIT_RESOURCE(officer_translations);
    return QStringLiteral(":/translations");
}

namespace {

bool installTranslator(QCoreApplication &app, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(name, folder)) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}

} // namespace

void setProgramNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("officer-maker"));
    QCoreApplication::setApplicationName(QStringLiteral("officer-maker"));
}

bool installQtTranslation(QCoreApplication &app, InterfaceLanguage language)
{
#ifdef OFFICER_EMBEDDED_QT_TRANSLATIONS
    const QString folder = resourceFolder();
#else
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
    return installTranslator(app, QLatin1String("qtbase_") + Language::code(language), folder);
}

bool installTranslations(QCoreApplication &app, InterfaceLanguage language)
{
    Language::setInUse(language);
    bool found = installQtTranslation(app, language);
    if (language == InterfaceLanguage::Simplified)
        found = installTranslator(app, QStringLiteral("officer-maker_zh_CN"), resourceFolder())
                && found;
    return found;
}

InterfaceLanguage startInterfaceLanguage(QCoreApplication &app)
{
    const QString saved = QSettings().value(QLatin1String(Language::settingsKey)).toString();
    const InterfaceLanguage language =
            Language::startLanguage(QLocale::system().uiLanguages(), saved);
    installTranslations(app, language);
    return language;
}
