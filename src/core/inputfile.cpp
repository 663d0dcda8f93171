#include "inputfile.h"

#include "messages.h"

#include <QFile>

namespace EditData {

QString readInput(QIODevice &device, QByteArray &bytes)
{
    // One byte more than allowed tells a file that is too large, even one
    // that does not know its size. A device that hands over what it has at a
    // time is read until it ends.
    QByteArray read;
    while (read.size() <= maxInputSize) {
        const QByteArray chunk = device.read(maxInputSize + 1 - read.size());
        if (auto *file = qobject_cast<QFileDevice *>(&device);
            file && file->error() != QFileDevice::NoError)
            return file->errorString();
        if (chunk.isEmpty())
            break;
        read += chunk;
    }
    if (read.size() > maxInputSize)
        return Messages::text(Messages::Text::FileTooLarge);
    bytes = read;
    return QString();
}

QString readInputFile(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return readInput(file, bytes);
}

} // namespace EditData
