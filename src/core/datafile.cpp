#include "datafile.h"

#include "editdata.h"
#include "readerror.h"
#include "wholefile.h"

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

WriteError writeDataImage(const QString &path, const QByteArray &image, QString *reason)
{
    // The image replaces the file whole, or the file stays as it was; where
    // no file can be made beside it, it is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    QString why;
    WriteError error = WriteError::None;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        why = file.errorString();
        error = WriteError::CannotOpen;
    } else {
        why = SafeKeeping::writeAll(file, image);
        if (why.isEmpty() && !file.commit())
            why = file.errorString();
        if (!why.isEmpty()) {
            file.cancelWriting();
            error = WriteError::Failed;
        }
    }
    if (reason)
        *reason = why;
    return error;
}

QString writeDataFile(const QString &path, const QByteArray &image, QString *reason)
{
    return writeErrorText(writeDataImage(path, image, reason));
}

} // namespace EditData
