#include "diskwatcher.h"

#include "editdata.h"
#include "wholefile.h"

#include <QFileInfo>
#include <QPointer>

namespace SafeKeeping {

DiskWatcher::DiskWatcher(int settleMs, QObject *parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &DiskWatcher::check);
    // Every event starts the wait again, so a burst is checked once.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
}

void DiskWatcher::watch(const QString &path, const QByteArray &current)
{
    stop();
    m_path = path;
    setCurrent(current);
    const QFileInfo info(path);
    m_watcher.addPath(info.absolutePath());
    if (info.exists())
        m_watcher.addPath(path);
}

void DiskWatcher::setCurrent(const QByteArray &bytes)
{
    m_current = bytes;
    m_seen = bytes;
    m_seenGone = false;
}

void DiskWatcher::stop()
{
    m_settle.stop();
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_path.clear();
    m_current.clear();
    m_seen.clear();
    m_seenGone = false;
}

void DiskWatcher::check()
{
    if (m_path.isEmpty())
        return;
    // A receiver that asks the player runs an event loop; what happens
    // meanwhile is looked at once it returns.
    if (m_checking) {
        m_settle.start();
        return;
    }
    if (!QFileInfo::exists(m_path)) {
        if (m_seenGone)
            return;
        m_seenGone = true;
        m_seen.clear();
        report([this] { emit deleted(); });
        return;
    }
    // A file replaced by another is no longer watched under its path.
    if (!m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    QByteArray bytes;
    if (!readFileHead(m_path, EditData::fileSize + 1, bytes).isEmpty()) {
        // Another program may hold it open for a moment: look again.
        m_settle.start();
        return;
    }
    if (!m_seenGone && bytes == m_seen)
        return;
    m_seenGone = false;
    m_seen = bytes;
    if (bytes == m_current)
        return;
    report([this, bytes] { emit changed(bytes); });
}

void DiskWatcher::report(const std::function<void()> &emitSignal)
{
    // The receiver may even delete the watcher.
    const QPointer<DiskWatcher> self(this);
    m_checking = true;
    emitSignal();
    if (self)
        m_checking = false;
}

} // namespace SafeKeeping
