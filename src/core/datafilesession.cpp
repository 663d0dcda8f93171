#include "datafilesession.h"

#include "bakfile.h"
#include "editdata.h"
#include "readerror.h"
#include "wholefile.h"

#include <QDir>
#include <QFileInfo>

using namespace EditData;

namespace SafeKeeping {

namespace {

// The most of a file that a dated copy takes: whatever another program
// wrote there, a copy of it stays a reasonable size.
constexpr qint64 datedCopyLimit = 64 * 1024 * 1024;

} // namespace

QString shownBackupFile(const QString &file, const QString &dataPath)
{
    return file == backupPath(dataPath) ? QFileInfo(file).fileName()
                                        : QDir::toNativeSeparators(file);
}

QString DataFileSession::BackupFailure::shownFile(const QString &dataPath) const
{
    return shownBackupFile(file, dataPath);
}

DataFileSession::DataFileSession()
    : m_backupsFolder(backupsFolder())
{ }

QByteArray DataFileSession::imageWith(const QList<QByteArray> &records) const
{
    QByteArray image = m_image;
    writeRecordsToImage(records, image);
    return image;
}

ReadError DataFileSession::open(const QString &path)
{
    // Nothing of the file that is open now changes until the new one has
    // been read whole and checked. Its lock is let go only once the new file
    // is taken.
    FileLock lock;
    const bool held = m_lock.holds(path);
    if (!held && lock.lock(path) == FileLock::HeldElsewhere)
        return ReadError::HeldElsewhere;
    QByteArray image;
    const ReadError error = readDataFile(path, image);
    if (error != ReadError::None)
        return error;
    if (!held)
        m_lock = std::move(lock);
    m_path = path;
    take(image);
    return ReadError::None;
}

ReadError DataFileSession::reread()
{
    QByteArray image;
    const ReadError error = readDataFile(m_path, image);
    if (error == ReadError::None)
        take(image);
    return error;
}

// Makes image the file's bytes as read: the backups are due.
void DataFileSession::take(const QByteArray &image)
{
    m_image = image;
    m_backupDue = true;
    m_lastDatedCopy.clear();
}

bool DataFileSession::changedOnDisk() const
{
    if (!isOpen() || !QFileInfo(m_path).isFile())
        return false;
    QByteArray onDisk;
    // A file that cannot be read may hold anything: it is not overwritten
    // unasked either.
    return !readFileHead(m_path, fileSize + 1, onDisk).isEmpty() || onDisk != m_image;
}

std::optional<DataFileSession::BackupFailure>
DataFileSession::backUpBeforeWrite(bool othersVersion, bool *datedCopyMade)
{
    if (datedCopyMade)
        *datedCopyMade = false;
    if (!isOpen() || !QFileInfo(m_path).isFile() || (!m_backupDue && !othersVersion))
        return std::nullopt;
    std::optional<BackupFailure> failure;
    if (m_backupDue) {
        const QString error = backUpFile(m_path);
        if (!error.isEmpty())
            failure = BackupFailure{backupPath(m_path), error};
    }
    QByteArray onDisk;
    QString error = readFileHead(m_path, datedCopyLimit, onDisk);
    if (!error.isEmpty()) {
        if (!failure)
            failure = BackupFailure{m_path, error};
    } else if (m_lastDatedCopy.isNull() || onDisk != m_lastDatedCopy) {
        QString copy;
        error = addBackup(m_backupsFolder, m_path, onDisk, BackupKind::OnDisk, &copy);
        if (error.isEmpty()) {
            m_lastDatedCopy = onDisk;
            if (datedCopyMade)
                *datedCopyMade = true;
        } else if (!failure) {
            failure = BackupFailure{copy, error};
        }
    }
    if (!failure)
        m_backupDue = false;
    return failure;
}

WriteError DataFileSession::writeRecords(const QList<QByteArray> &records, QString *reason)
{
    const QByteArray image = imageWith(records);
    const WriteError error = writeDataImage(m_path, image, reason);
    if (error != WriteError::None)
        return error;
    m_image = image;
    m_backupDue = false;
    m_lastDatedCopy.clear();
    return WriteError::None;
}

QString DataFileSession::write(const QList<QByteArray> &records, QString *reason)
{
    return writeErrorText(writeRecords(records, reason));
}

QString DataFileSession::backUpUnsaved(const QList<QByteArray> &records, QString *copyPath)
{
    if (!isOpen())
        return QString();
    return addBackup(m_backupsFolder, m_path, imageWith(records), BackupKind::Unsaved, copyPath);
}

QVector<Backup> DataFileSession::backups() const
{
    return isOpen() ? listBackups(m_backupsFolder, m_path) : QVector<Backup>();
}

} // namespace SafeKeeping
