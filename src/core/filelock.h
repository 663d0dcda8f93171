#ifndef FILELOCK_H
#define FILELOCK_H

#include <QDir>
#include <QString>

#include <memory>

class QLockFile;

namespace SafeKeeping {

// Marks a data file as open in one window, so that no other window or
// running copy of the program opens it too. The lock is a file in the
// temporary folder named by the data file's key. Only a lock whose process
// is gone counts as stale and is taken over, however old it is.
class FileLock
{
public:
    enum Result {
        Locked, // this lock now holds the file
        HeldElsewhere, // another lock, of this process or another, holds it
        Unavailable // the lock file could not be made (the folder is not writable)
    };

    FileLock();
    ~FileLock();
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;

    // Takes the lock of the data file at path in folder. A lock that already
    // holds the file holds it on (Locked); one that holds another file lets
    // it go only once the new one is taken, and keeps it otherwise.
    Result lock(const QString &path, const QString &folder = QDir::tempPath());

    void unlock();

    // Whether this lock holds the data file at path, however its path is
    // written.
    bool holds(const QString &path) const;

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_key;
};

} // namespace SafeKeeping

#endif // FILELOCK_H
