#include "startup.h"

#include "wholefile.h"

#include <QCoreApplication>

void prepareApplication()
{
    // Settings and data are kept under this name.
    setProgramNames();
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // A write past the file-size limit fails and is told of like any other.
    SafeKeeping::ignoreFileSizeSignal();
}
