#ifndef DISKWATCHER_H
#define DISKWATCHER_H

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace SafeKeeping {

// Tells when another program changes or deletes the open data file. It
// watches the file and its folder, lets a burst of events settle for
// settleMs, re-adds the file after it was replaced (an atomic save replaces
// it), and then compares the bytes on disk, not the times: only bytes that
// differ from the current ones (those last read or written by the program)
// are reported, and each new content once.
class DiskWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DiskWatcher(int settleMs = 500, QObject *parent = nullptr);

    // Watches the file at path, whose bytes on disk are current.
    void watch(const QString &path, const QByteArray &current);
    // The program read or wrote bytes: they are what the file holds now.
    void setCurrent(const QByteArray &bytes);
    void stop();

    QString path() const { return m_path; }

signals:
    // The file on disk holds other bytes than the current ones: onDisk, at
    // most 1 byte more than a data file's size. Not sent again for the same
    // bytes until something else was on disk in between.
    void changed(const QByteArray &onDisk);
    // The file is gone from the disk; sent once until it is back.
    void deleted();

private:
    void check();
    void report(const std::function<void()> &emitSignal);

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_path;
    QByteArray m_current;
    QByteArray m_seen; // what was last found on disk
    bool m_seenGone = false;
    bool m_checking = false;
};

} // namespace SafeKeeping

#endif // DISKWATCHER_H
