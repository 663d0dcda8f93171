#ifndef DATAFILESESSION_H
#define DATAFILESESSION_H

#include "backups.h"
#include "datafile.h"
#include "filelock.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <optional>

namespace SafeKeeping {

// A backup file as the player is told it: the .bak, which lies beside the
// data file at dataPath, by its name alone; a dated copy with its folder.
QString shownBackupFile(const QString &file, const QString &dataPath);

// One data file as the program has it open: its path, its lock, the bytes
// last read from or written to it, and the backups due before it is first
// written. The window's document and the command line keep a file safe
// through it alike:
// - open() takes the file's lock, so no window or other running copy has it
//   open at the same time, and reads it whole;
// - before the first write after each open, backUpBeforeWrite() keeps the
//   file as it stands on disk as the .bak beside it and as a dated copy;
// - changedOnDisk() tells whether another program wrote the file since;
// - write() replaces the file whole, or leaves it as it was.
class DataFileSession
{
public:
    // A backup that could not be made: the file it was to be written to,
    // and why.
    struct BackupFailure
    {
        QString file;
        QString reason;

        // The file as the player is told it: the .bak, which lies beside the
        // data file at dataPath, by its name alone; a dated copy with its
        // folder.
        QString shownFile(const QString &dataPath) const;
    };

    // Dated copies go to the program's backup folder (backupsFolder()).
    DataFileSession();

    void setBackupsFolder(const QString &folder) { m_backupsFolder = folder; }

    // Empty while no file is open.
    QString path() const { return m_path; }
    bool isOpen() const { return !m_path.isEmpty(); }
    // The bytes last read from or written to the file.
    const QByteArray &image() const { return m_image; }
    // The file's bytes with records in its record area.
    QByteArray imageWith(const QList<QByteArray> &records) const;

    // Takes the lock of the data file at path and reads it; once both are
    // done, it is the open file and a backup is due. A refused file changes
    // nothing, and neither does a file that another window or running copy
    // has open (HeldElsewhere). The file open already is no conflict. A lock
    // that cannot be made at all (no writable temporary folder) does not
    // keep the player from the file.
    EditData::ReadError open(const QString &path);
    // Reads the open file again, as another program changed it; a backup is
    // due again. A refused file changes nothing.
    EditData::ReadError reread();
    // Lets the lock go, so that other windows may open the file; the rest
    // stays as it is.
    void releaseLock() { m_lock.unlock(); }

    // True when the file on disk holds other bytes than those last read or
    // written, or cannot be read: another program changed it. A file gone
    // from the disk is not changed; writing makes it again.
    bool changedOnDisk() const;
    // Before the file is written: at the first write after each open, keeps
    // the file as it stands on disk as the .bak beside it and as a dated copy;
    // with othersVersion (the file holds another program's change) keeps the
    // dated copy in any case. One dated copy at most, of the bytes on disk
    // now; a file that is gone leaves nothing to keep. Returns what could not
    // be kept, nothing once all was kept; asked again after a failure, the
    // same bytes are not copied twice. datedCopyMade, when given, tells
    // whether a dated copy was written.
    std::optional<BackupFailure> backUpBeforeWrite(bool othersVersion = false,
                                                   bool *datedCopyMade = nullptr);
    // Writes the file's bytes with records into the open file, which is
    // replaced whole or left as it was; once written, these bytes are the
    // ones last written. reason, when given, receives why it failed (see
    // writeDataImage).
    EditData::WriteError writeRecords(const QList<QByteArray> &records, QString *reason = nullptr);
    // The same, with what went wrong as the player is told, or an empty
    // string once written.
    QString write(const QList<QByteArray> &records, QString *reason = nullptr);
    // Keeps the file's bytes with records, an unsaved state, as a dated copy
    // (BackupKind::Unsaved). Returns what went wrong, or an empty string;
    // copyPath, when given, receives the copy's full path.
    QString backUpUnsaved(const QList<QByteArray> &records, QString *copyPath = nullptr);

    // The dated backups of the open file, newest first.
    QVector<Backup> backups() const;

private:
    void take(const QByteArray &image);

    QString m_path;
    QByteArray m_image;
    QString m_backupsFolder;
    FileLock m_lock;
    // From a successful open until the backups are made or the file written.
    bool m_backupDue = false;
    // What the last dated copy of this open held, until the file is written.
    QByteArray m_lastDatedCopy;
};

} // namespace SafeKeeping

#endif // DATAFILESESSION_H
