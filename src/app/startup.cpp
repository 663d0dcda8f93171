#include "startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void prepareApplication()
{
    // Settings and data are kept under this name.
    QCoreApplication::setOrganizationName(QStringLiteral("officer-maker"));
    QCoreApplication::setApplicationName(QStringLiteral("officer-maker"));
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

bool installQtTranslation(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
#ifdef OFFICER_EMBEDDED_TRANSLATIONS
    // Windows has no shared folder of Qt translations: the program carries it.
    Q_INIT_RESOURCE(officer_translations);
    const QString folder = QStringLiteral(":/translations");
#else
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
    if (!translator->load(QStringLiteral("qtbase_zh_TW"), folder)) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}
