#include "bakfile.h"

#include "wholefile.h"

#include <QFile>
#include <QSaveFile>

namespace EditData {

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

} // namespace EditData
