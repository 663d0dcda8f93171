#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString &ownName()
{
    static QString name;
    return name;
}

void removeOwnDataFolder()
{
    if (QCoreApplication::applicationName() != ownName())
        return;
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .removeRecursively();
    // Settings kept in a file go with it; the registry keeps an empty key.
    QSettings settings;
    settings.clear();
    settings.sync();
    QFile::remove(settings.fileName());
}

} // namespace

QString useOwnDataFolder()
{
    QStandardPaths::setTestModeEnabled(true);
    if (ownName().isEmpty()) {
        ownName() = QStringLiteral("%1-%2")
                            .arg(QCoreApplication::applicationName())
                            .arg(QCoreApplication::applicationPid());
        QCoreApplication::setApplicationName(ownName());
        qAddPostRoutine(removeOwnDataFolder);
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}
