#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtGlobal>

#include <csignal>

namespace SafeKeeping {

QString readFileHead(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return QStringLiteral("Not a regular file");
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray read = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    bytes = read;
    return QString();
}

QString makeFolder(const QString &path)
{
    // A file in a folder's place fails the next call, which says so.
    const QFileInfo info(path);
    if (info.exists())
        return QString();
    const QString folder = info.absoluteFilePath();
    const QString parent = info.absolutePath();
    if (parent != folder) {
        const QString error = makeFolder(parent);
        if (!error.isEmpty())
            return error;
    }
    if (QDir().mkdir(folder))
        return QString();
    // The reason of the mkdir just failed (errno, or GetLastError on
    // Windows), unless another program made the folder meanwhile.
    const QString error = qt_error_string(-1);
    return QFileInfo(folder).isDir() ? QString() : error;
}

QString writeAll(QFileDevice &file, const QByteArray &bytes)
{
    // A write may take only part of the bytes (the file-size limit is
    // reached within them); the next then fails and says why.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return file.errorString();
        written += count;
    }
    return QString();
}

QString writeWhole(const QString &path, const QByteArray &bytes)
{
    const QString folderError = makeFolder(QFileInfo(path).absolutePath());
    if (!folderError.isEmpty())
        return folderError;
    // Unbuffered, every write reaches the file at once: a write that fails
    // shows its cause, and commit() then refuses the file. Left in a buffer,
    // a small write that failed at commit() would pass for written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const QString error = writeAll(file, bytes);
    if (!error.isEmpty())
        return error;
    if (!file.commit())
        return file.errorString();
    return QString();
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace SafeKeeping
