#include "datafile.h"

#include "editdata.h"
#include "filekey.h"

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

QString backupPath(const QString &path)
{
    return path + QLatin1String(".bak");
}

QString backUpFile(const QString &path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    // Unbuffered, a write that fails says why at once (see writeWhole).
    QSaveFile backup(backupPath(path));
    if (!backup.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
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
        const QString error = SafeKeeping::writeAll(backup, chunk);
        if (!error.isEmpty())
            return error;
    }
    if (!backup.commit())
        return backup.errorString();
    return QString();
}

QString writeDataFile(const QString &path, const QByteArray &image, QString *reason)
{
    // The image replaces the file whole, or the file stays as it was; where
    // no file can be made beside it, it is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    QString why;
    QString failure;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        why = file.errorString();
        failure = QCoreApplication::translate("OfficerDocument", "文件無法以可寫方式打開。");
    } else {
        why = SafeKeeping::writeAll(file, image);
        if (why.isEmpty() && !file.commit())
            why = file.errorString();
        if (!why.isEmpty()) {
            file.cancelWriting();
            failure = QCoreApplication::translate("OfficerDocument", "文件寫入失敗。");
        }
    }
    if (reason)
        *reason = why;
    return failure;
}

} // namespace EditData
