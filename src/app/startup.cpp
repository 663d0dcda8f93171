#include "startup.h"

#include <QCoreApplication>

void prepareApplication()
{
    // Settings and data are kept under this name.
    setProgramNames();
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}
