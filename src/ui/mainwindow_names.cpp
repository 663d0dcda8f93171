#include "mainwindow.h"
#include "names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>

void MainWindow::loadNamePools()
{
    struct PoolFile
    {
        const char *fileName;
        QStringList *pool;
        const char *failure;
    };
    const PoolFile files[] = {
            {Names::poolFiles[0], &m_familyNames, QT_TR_NOOP("無法打開familyName.dat。")},
            {Names::poolFiles[1], &m_boyNames, QT_TR_NOOP("無法打開boyName.dat。")},
            {Names::poolFiles[2], &m_girlNames, QT_TR_NOOP("無法打開girlName.dat。")},
    };
    // The files lie in the working directory or, when it holds none of them,
    // in the folder that an installed program keeps them in (beside the .exe
    // on Windows). Loading ends at the first one that cannot be opened,
    // leaving its pool and those after it empty.
    const QDir folder(
            Names::poolFolder(QDir::currentPath(),
                              Names::installedPoolFolder(QCoreApplication::applicationDirPath())));
    for (const PoolFile &file : files) {
        QFile in(folder.filePath(QString::fromLatin1(file.fileName)));
        if (!in.open(QIODevice::ReadOnly)) {
            QMessageBox::warning(this, tr("錯誤"), tr(file.failure));
            return;
        }
        *file.pool = Names::parseNamePool(in.readAll());
    }
}
