#include "filekey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SafeKeeping {

QString canonicalPath(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (!folder.isEmpty())
        return QDir(folder).filePath(info.fileName());
    return QDir::cleanPath(info.absoluteFilePath());
}

QString fileKey(const QString &path)
{
    QString canonical = canonicalPath(path);
#ifdef Q_OS_WIN
    canonical = canonical.toLower();
#endif
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(hash.toHex().left(16));
}

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

QString writeWhole(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A folder that could not be made shows up as the save file's own error.
    // Unbuffered, every write reaches the file at once: a write that fails
    // shows its cause, and commit() then refuses the file. Left in a buffer,
    // a small write that failed at commit() would pass for written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return file.errorString();
        written += count;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace SafeKeeping
