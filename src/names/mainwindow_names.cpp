#include "mainwindow.h"
#include "names.h"

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
            {"familyName.dat", &m_familyNames, QT_TR_NOOP("無法打開familyName.dat。")},
            {"boyName.dat", &m_boyNames, QT_TR_NOOP("無法打開boyName.dat。")},
            {"girlName.dat", &m_girlNames, QT_TR_NOOP("無法打開girlName.dat。")},
    };
    // The files lie in the working directory; loading ends at the first one
    // that cannot be opened, leaving its pool and those after it empty.
    for (const PoolFile &file : files) {
        QFile in(QString::fromLatin1(file.fileName));
        if (!in.open(QIODevice::ReadOnly)) {
            QMessageBox::warning(this, tr("錯誤"), tr(file.failure));
            return;
        }
        *file.pool = Names::parseNamePool(in.readAll());
    }
}
