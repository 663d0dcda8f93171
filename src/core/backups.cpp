#include "backups.h"

#include "filekey.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace SafeKeeping {

namespace {

const QString timeFormat = QStringLiteral("yyyyMMdd-HHmmss");

struct Copy
{
    qint64 number;
    Backup backup;
};

QString fileFolder(const QString &folder, const QString &path)
{
    return QDir(folder).filePath(fileKey(path));
}

const QString unsavedSuffix = QStringLiteral("_unsaved");

// The copies in the data file's folder, highest number first.
QVector<Copy> copies(const QString &fileFolderPath)
{
    static const QRegularExpression name(
            QStringLiteral("^(\\d{1,15})_(\\d{8}-\\d{6})(%1)?\\.rqv$").arg(unsavedSuffix));
    QVector<Copy> found;
    const QDir dir(fileFolderPath);
    for (const QString &entry : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = name.match(entry);
        if (!match.hasMatch())
            continue;
        Copy copy;
        copy.number = match.captured(1).toLongLong();
        copy.backup.file = dir.filePath(entry);
        copy.backup.time = QDateTime::fromString(match.captured(2), timeFormat);
        copy.backup.kind = match.capturedLength(3) > 0 ? BackupKind::Unsaved : BackupKind::OnDisk;
        found.append(copy);
    }
    std::sort(found.begin(), found.end(),
              [](const Copy &a, const Copy &b) { return a.number > b.number; });
    const auto oldestOnDisk = std::find_if(found.rbegin(), found.rend(), [](const Copy &copy) {
        return copy.backup.kind == BackupKind::OnDisk;
    });
    if (oldestOnDisk != found.rend())
        oldestOnDisk->backup.first = true;
    return found;
}

// Removes the oldest copies beyond maxBackups, keeping the first.
void prune(QVector<Copy> existing)
{
    for (int i = existing.size() - 1; i >= 0 && existing.size() > maxBackups; --i) {
        if (existing.at(i).backup.first)
            continue;
        QFile::remove(existing.at(i).backup.file);
        existing.remove(i);
    }
}

} // namespace

QString backupsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
           + QLatin1String("/backups");
}

QString addBackup(const QString &folder, const QString &path, const QByteArray &bytes,
                  BackupKind kind, QString *copyPath)
{
    const QString dirPath = fileFolder(folder, path);
    const QDir dir(dirPath);
    const QVector<Copy> existing = copies(dirPath);
    qint64 number = existing.isEmpty() ? 1 : existing.first().number + 1;
    const QString stamp = QDateTime::currentDateTime().toString(timeFormat);
    const QString suffix = kind == BackupKind::Unsaved ? unsavedSuffix : QString();
    auto nameFor = [&](qint64 n) {
        return dir.filePath(QStringLiteral("%1_%2%3.rqv").arg(n).arg(stamp, suffix));
    };
    if (copyPath)
        *copyPath = nameFor(number);

    if (!QFile::exists(dir.filePath(QStringLiteral("path.txt")))) {
        const QString error =
                writeWhole(dir.filePath(QStringLiteral("path.txt")), canonicalPath(path).toUtf8());
        if (!error.isEmpty())
            return error;
    }
    // The copy is written whole under a name of its own, then renamed to its
    // place; renaming never replaces a file, so a copy that appeared there
    // meanwhile only moves this one to the next number.
    const QString partName = dir.filePath(QStringLiteral("%1.part").arg(number));
    const QString error = writeWhole(partName, bytes);
    if (!error.isEmpty())
        return error;
    QFile part(partName);
    for (int tries = 0; !part.rename(nameFor(number)); ++tries, ++number) {
        if (tries == 100) {
            const QString renameError = part.errorString();
            part.remove();
            return renameError;
        }
    }
    if (copyPath)
        *copyPath = nameFor(number);
    prune(copies(dirPath));
    return QString();
}

QVector<Backup> listBackups(const QString &folder, const QString &path)
{
    QVector<Backup> list;
    for (const Copy &copy : copies(fileFolder(folder, path)))
        list.append(copy.backup);
    return list;
}

QString readBackup(const Backup &backup, QByteArray &bytes)
{
    QFile file(backup.file);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray read = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    bytes = read;
    return QString();
}

} // namespace SafeKeeping
