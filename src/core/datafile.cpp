#include "datafile.h"

#include "editdata.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace EditData {

ReadError readDataFile(const QString &path, QByteArray &image)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return ReadError::CannotOpen;
    // One byte more than asked for shows a file that grew since its size was
    // taken.
    const QByteArray read = file.size() == fileSize ? file.read(fileSize + 1) : QByteArray();
    if (read.size() != fileSize)
        return ReadError::WrongSize;
    image = read;
    return ReadError::None;
}

QString backupPath(const QString &path)
{
    return path + QLatin1String(".bak");
}

QString backUpFile(const QString &path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    QSaveFile backup(backupPath(path));
    if (!backup.open(QIODevice::WriteOnly))
        return backup.errorString();
    // The file is copied as it stands, whatever its size.
    constexpr qint64 chunkSize = 64 * 1024;
    for (;;) {
        const QByteArray chunk = source.read(chunkSize);
        if (chunk.isEmpty()) {
            if (source.error() != QFileDevice::NoError)
                return source.errorString();
            break;
        }
        if (backup.write(chunk) != chunk.size())
            return backup.errorString();
    }
    if (!backup.commit())
        return backup.errorString();
    return QString();
}

} // namespace EditData
