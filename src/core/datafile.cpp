#include "datafile.h"

#include "editdata.h"

#include <QCoreApplication>
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

QString writeDataFile(const QString &path, const QByteArray &image)
{
    // The image replaces the file whole, or the file stays as it was.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return QCoreApplication::translate("OfficerDocument", "文件無法以可寫方式打開。");
    if (file.write(image) != image.size() || !file.commit()) {
        file.cancelWriting();
        return QCoreApplication::translate("OfficerDocument", "文件寫入失敗。");
    }
    return QString();
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
