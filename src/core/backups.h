#ifndef BACKUPS_H
#define BACKUPS_H

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// Dated backups: copies of a data file kept in the program's own folder, one
// subfolder per data file (named by its key, with the file's full path in
// "path.txt" beside the copies). A copy is never overwritten; each is named
// "<number>_<yyyyMMdd-HHmmss>.rqv", or "<number>_<yyyyMMdd-HHmmss>_unsaved.rqv"
// for unsaved changes, its number one more than the highest before it, so
// two made in the same second have distinct names. The oldest copy of the
// file as it stood on disk is the file as it was before the program first
// wrote it.
namespace SafeKeeping {

// The program's backup folder: "backups" in its local data folder.
QString backupsFolder();

// The most copies kept per data file.
constexpr int maxBackups = 30;

// What a dated copy holds.
enum class BackupKind {
    OnDisk, // the file as it stood on disk before the program replaced it
    Unsaved, // the unsaved changes that a reload of the file dropped
};

struct Backup
{
    QString file; // the copy's full path
    QDateTime time; // when it was made, local time, to the second
    BackupKind kind = BackupKind::OnDisk;
    // The oldest copy of the file as it stood on disk: the file as it was
    // before the program first wrote it.
    bool first = false;
};

// Keeps bytes as a new dated copy of the data file at path, then removes
// the oldest copies beyond maxBackups, never the first (see Backup). Returns
// what went wrong, or an empty string. copyPath, when given, receives the
// full path of the new copy (also when it could not be written).
QString addBackup(const QString &folder, const QString &path, const QByteArray &bytes,
                  BackupKind kind, QString *copyPath = nullptr);

// The copies of the data file at path, newest first.
QVector<Backup> listBackups(const QString &folder, const QString &path);

// Reads one copy back into bytes, whatever its size. Returns what went wrong,
// or an empty string; on failure bytes is left as it was.
QString readBackup(const Backup &backup, QByteArray &bytes);

} // namespace SafeKeeping

#endif // BACKUPS_H
