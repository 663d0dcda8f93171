#include "filelock.h"

#include "filekey.h"

#include <QLockFile>

namespace SafeKeeping {

FileLock::FileLock() = default;
FileLock::~FileLock() = default;
FileLock::FileLock(FileLock &&other) noexcept = default;
FileLock &FileLock::operator=(FileLock &&other) noexcept = default;

FileLock::Result FileLock::lock(const QString &path, const QString &folder)
{
    const QString key = fileKey(path);
    if (m_lock && key == m_key)
        return Locked;
    auto lockFile = std::make_unique<QLockFile>(
            QDir(folder).filePath(QStringLiteral("officer-maker-%1.lock").arg(key)));
    lockFile->setStaleLockTime(0);
    if (!lockFile->tryLock(0)) {
        return lockFile->error() == QLockFile::LockFailedError ? HeldElsewhere : Unavailable;
    }
    m_lock = std::move(lockFile);
    m_key = key;
    return Locked;
}

void FileLock::unlock()
{
    m_lock.reset();
    m_key.clear();
}

bool FileLock::holds(const QString &path) const
{
    return m_lock && fileKey(path) == m_key;
}

} // namespace SafeKeeping
