#ifndef RECOVERY_H
#define RECOVERY_H

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>

// Recovery copies: the unsaved state of an open file, kept in a file of the
// program's own so that a crash loses nothing. The data file itself is never
// written for this. A folder holds, for each data file, "<key>.rqv" with the
// bytes and "<key>.path" with the data file's full path in UTF-8.
namespace SafeKeeping {

// The program's recovery folder: "recovery" in its local data folder.
QString recoveryFolder();

struct Recovery
{
    QByteArray bytes;
    QDateTime time; // when the copy was last written, local time
    QString path; // the data file's full path, as it was written beside it
};

// Writes the recovery copy of the data file at path. Returns what went
// wrong, or an empty string.
QString writeRecovery(const QString &folder, const QString &path, const QByteArray &bytes);

// Reads back the recovery copy of the data file at path; false when there
// is none or it cannot be read. The bytes are as written, but never more than
// one byte past a data file's size: the caller checks them as it checks the
// data file.
bool readRecovery(const QString &folder, const QString &path, Recovery &recovery);

// Removes the recovery copy of the data file at path, if there is one.
void removeRecovery(const QString &folder, const QString &path);

// Keeps the recovery copy of one open file up to date without making the
// caller wait for the disk. schedule() only notes the bytes; at most
// delayMs later the latest noted bytes are written, on a thread of the
// writer's own, so however many changes come in quick succession, the copy is
// written at most once per delay. Writes and removals reach the disk in the
// order they were asked for.
class RecoveryWriter : public QObject
{
    Q_OBJECT
public:
    explicit RecoveryWriter(const QString &folder, int delayMs = 500, QObject *parent = nullptr);
    // Writes what is still noted and waits until the disk has it.
    ~RecoveryWriter() override;

    QString folder() const { return m_folder; }

    // Notes bytes as the unsaved state of the data file at path. Costs no
    // more than keeping a reference to the bytes.
    void schedule(const QString &path, const QByteArray &bytes);
    // The same for bytes that are made only when they are to be written, so
    // that however many changes come, they are made once per write:
    // makeBytes runs on the caller's thread when the write starts (at the
    // latest in finish() or the destructor), and what it returns is written
    // on the writer's thread.
    void schedule(const QString &path, std::function<QByteArray()> makeBytes);

    // Drops what is noted for path and removes its recovery copy, after any
    // write already under way. Once the writer has removed the copy, further
    // removals cost nothing until it writes the copy again, or until finish()
    // (after which another program may have written one).
    void remove(const QString &path);

    // Writes at once what is noted and waits until every write and removal
    // asked for so far is done; their signals have been emitted on return.
    void finish();

signals:
    void written(const QString &path);
    // reason: what went wrong, as the file system says it.
    void failed(const QString &reason);

private:
    void writePending();
    void writeDone(const QString &path, const QString &error);

    QString m_folder;
    QTimer m_timer;
    QThreadPool m_pool;
    QString m_pendingPath;
    std::function<QByteArray()> m_pendingBytes;
    bool m_hasPending = false;
    int m_writesUnderWay = 0;
    // Paths whose copy this writer removed and has not written since.
    QSet<QString> m_removed;
};

} // namespace SafeKeeping

#endif // RECOVERY_H
