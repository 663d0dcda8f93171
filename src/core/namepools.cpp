#include "namepools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Names {

QString poolFolder(const QString &workingFolder, const QString &installedFolder)
{
    const QDir working(workingFolder);
    for (const char *file : poolFiles) {
        if (working.exists(QLatin1String(file)))
            return workingFolder;
    }
    return QFileInfo(installedFolder).isDir() ? installedFolder : workingFolder;
}

QString installedPoolFolder(const QString &programFolder)
{
#ifdef Q_OS_WIN
    return programFolder;
#else
    return programFolder + QStringLiteral("/../share/officer-maker");
#endif
}

QString programPoolFolder()
{
    return poolFolder(QDir::currentPath(),
                      installedPoolFolder(QCoreApplication::applicationDirPath()));
}

QStringList parseNamePool(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const int size = bytes.size();
    const int lines = int(std::count(data, data + size, '\n')) + 1;
    QStringList names;
    names.reserve(lines);

    // The names taken so far, found by hash in an open-addressing table of
    // indexes into names (0 marks a free place). Twice as many places as
    // lines keeps the probes short.
    const quint32 mask = (quint32(1) << (32 - qCountLeadingZeroBits(quint32(2 * lines)))) - 1;
    std::vector<int> table(size_t(mask) + 1, 0);

    int start = 0;
    while (start < size) {
        const void *newline = std::memchr(data + start, '\n', size - start);
        const int end = newline ? static_cast<const char *>(newline) - data + 1 : size;
        // The text ends at a NUL; the name at the first comma before that.
        // A comma byte is always the comma itself in UTF-8.
        const void *nul = std::memchr(data + start, '\0', end - start);
        const int textEnd = nul ? static_cast<const char *>(nul) - data : end;
        const void *comma = std::memchr(data + start, ',', textEnd - start);
        const int nameEnd = comma ? static_cast<const char *>(comma) - data : textEnd;
        QString name = QString::fromUtf8(data + start, nameEnd - start);

        quint32 place = qHash(name) & mask;
        while (table[place] != 0 && names.at(table[place] - 1) != name)
            place = (place + 1) & mask;
        if (table[place] == 0) {
            names.append(std::move(name));
            table[place] = names.size();
        }
        start = end;
    }
    return names;
}

int loadNamePools(const QString &folder, NamePools &pools)
{
    QStringList *const targets[] = {&pools.familyNames, &pools.boyNames, &pools.girlNames};
    const QDir dir(folder);
    for (int i = 0; i < 3; ++i) {
        QFile in(dir.filePath(QString::fromLatin1(poolFiles[i])));
        if (!in.open(QIODevice::ReadOnly))
            return i;
        *targets[i] = parseNamePool(in.readAll());
    }
    return -1;
}

} // namespace Names
