#include "recovery.h"

#include "editdata.h"
#include "filekey.h"
#include "wholefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRunnable>
#include <QStandardPaths>

namespace SafeKeeping {

namespace {

QString bytesFile(const QString &folder, const QString &path)
{
    return QDir(folder).filePath(fileKey(path) + QLatin1String(".rqv"));
}

QString pathFile(const QString &folder, const QString &path)
{
    return QDir(folder).filePath(fileKey(path) + QLatin1String(".path"));
}

} // namespace

QString recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
           + QLatin1String("/recovery");
}

QString writeRecovery(const QString &folder, const QString &path, const QByteArray &bytes)
{
    // The path is written once; later copies of the same file only replace
    // the bytes.
    const QString pathName = pathFile(folder, path);
    const QByteArray fullPath = canonicalPath(path).toUtf8();
    QByteArray written;
    if (!readFileHead(pathName, fullPath.size() + 1, written).isEmpty() || written != fullPath) {
        const QString error = writeWhole(pathName, fullPath);
        if (!error.isEmpty())
            return error;
    }
    return writeWhole(bytesFile(folder, path), bytes);
}

bool readRecovery(const QString &folder, const QString &path, Recovery &recovery)
{
    const QString name = bytesFile(folder, path);
    // One byte more than a data file tells a copy of another size, whatever
    // its size.
    if (!readFileHead(name, EditData::fileSize + 1, recovery.bytes).isEmpty())
        return false;
    recovery.time = QFileInfo(name).lastModified();
    QByteArray fullPath;
    readFileHead(pathFile(folder, path), 64 * 1024, fullPath);
    recovery.path = QString::fromUtf8(fullPath);
    return true;
}

void removeRecovery(const QString &folder, const QString &path)
{
    QFile::remove(bytesFile(folder, path));
    QFile::remove(pathFile(folder, path));
}

RecoveryWriter::RecoveryWriter(const QString &folder, int delayMs, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    // One thread, so that writes and removals keep their order.
    m_pool.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryWriter::writePending);
}

RecoveryWriter::~RecoveryWriter()
{
    m_timer.stop();
    if (m_hasPending)
        writePending();
    // What the thread still reports back is dropped with this object.
    m_pool.waitForDone();
}

void RecoveryWriter::schedule(const QString &path, const QByteArray &bytes)
{
    schedule(path, [bytes] { return bytes; });
}

void RecoveryWriter::schedule(const QString &path, std::function<QByteArray()> makeBytes)
{
    if (m_hasPending && path != m_pendingPath)
        writePending();
    m_pendingPath = path;
    m_pendingBytes = std::move(makeBytes);
    m_hasPending = true;
    // While a write is under way, the next starts its delay when that one
    // is done.
    if (!m_timer.isActive() && m_writesUnderWay == 0)
        m_timer.start();
}

void RecoveryWriter::remove(const QString &path)
{
    if (m_hasPending && path == m_pendingPath) {
        m_hasPending = false;
        m_pendingBytes = nullptr;
        m_timer.stop();
    }
    if (m_removed.contains(path))
        return;
    m_removed.insert(path);
    const QString folder = m_folder;
    m_pool.start(QRunnable::create([folder, path] { removeRecovery(folder, path); }));
}

void RecoveryWriter::finish()
{
    m_timer.stop();
    if (m_hasPending)
        writePending();
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_removed.clear();
}

void RecoveryWriter::writePending()
{
    if (!m_hasPending)
        return;
    const QString folder = m_folder;
    const QString path = m_pendingPath;
    const QByteArray bytes = m_pendingBytes();
    m_removed.remove(path);
    m_hasPending = false;
    m_pendingBytes = nullptr;
    ++m_writesUnderWay;
    m_pool.start(QRunnable::create([this, folder, path, bytes] {
        const QString error = writeRecovery(folder, path, bytes);
        QMetaObject::invokeMethod(
                this, [this, path, error] { writeDone(path, error); }, Qt::QueuedConnection);
    }));
}

void RecoveryWriter::writeDone(const QString &path, const QString &error)
{
    --m_writesUnderWay;
    if (error.isEmpty())
        emit written(path);
    else
        emit failed(error);
    if (m_hasPending && m_writesUnderWay == 0 && !m_timer.isActive())
        m_timer.start();
}

} // namespace SafeKeeping
