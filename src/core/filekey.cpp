#include "filekey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

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

} // namespace SafeKeeping
