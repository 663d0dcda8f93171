#include "backups.h"
#include "diskwatcher.h"
#include "filekey.h"
#include "filelock.h"
#include "records.h"
#include "recovery.h"
#include "wholefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace SafeKeeping;

class TestSafeKeeping : public QObject
{
    Q_OBJECT

private slots:
    void fileKeys();
    void recoveryCopies();
    void backupsKeepTheFirstAndTheNewest();
    void failedFoldersGiveTheirReason();
    void watcherReportsOtherProgramsOnly();
    void locks();

private:
    QTemporaryDir m_dir;
};

void TestSafeKeeping::fileKeys()
{
    QVERIFY(QDir(m_dir.path()).mkpath("a/sub") && QDir(m_dir.path()).mkpath("b"));
    const QString file = m_dir.filePath("a/editdata.rqv");
    QVERIFY(writeFile(file, "x"));
    const QString key = fileKey(file);
    QCOMPARE(fileKey(m_dir.filePath("a/sub/../editdata.rqv")), key);
#ifdef Q_OS_WIN
    QCOMPARE(fileKey(file.toUpper()), key);
#else
    QVERIFY(QFile::link(m_dir.filePath("a"), m_dir.filePath("link")));
    QCOMPARE(fileKey(m_dir.filePath("link/editdata.rqv")), key);
#endif
    // A file that is gone keeps its key; every copy of the game's file has
    // the same name, and two gone files do not share a key.
    QVERIFY(QFile::remove(file));
    QCOMPARE(fileKey(file), key);
#ifndef Q_OS_WIN
    QCOMPARE(fileKey(m_dir.filePath("link/editdata.rqv")), key);
#endif
    QVERIFY(fileKey(m_dir.filePath("b/editdata.rqv")) != key);
}

void TestSafeKeeping::recoveryCopies()
{
    const QString folder = m_dir.filePath("recovery");
    const QString path = m_dir.filePath("editdata.rqv");
    const int delay = 100;
    RecoveryWriter writer(folder, delay);
    QSignalSpy written(&writer, &RecoveryWriter::written);

    // Quick changes over about four delays are written a few times, the
    // last change among them.
    QElapsedTimer clock;
    clock.start();
    const QByteArray last(1000, char(100));
    for (int i = 1; i <= 100; ++i) {
        writer.schedule(path, QByteArray(1000, char(i)));
        QTest::qWait(4);
    }
    const qint64 elapsed = clock.elapsed();
    Recovery recovery;
    // A loaded machine, Wine above all, may take seconds to run the thread.
    QTRY_VERIFY_WITH_TIMEOUT(readRecovery(folder, path, recovery) && recovery.bytes == last, 30000);
    writer.finish();
    QVERIFY2(written.count() >= 1 && written.count() <= elapsed / delay + 2,
             qPrintable(QString::number(written.count())));
    QCOMPARE(recovery.path, canonicalPath(path));

    // Removing leaves nothing behind, also when a change was still waiting.
    writer.schedule(path, "later");
    writer.remove(path);
    writer.finish();
    QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void TestSafeKeeping::backupsKeepTheFirstAndTheNewest()
{
    const QString folder = m_dir.filePath("backups");
    const QString path = m_dir.filePath("editdata.rqv");
    // Made in quick succession, many in the same second; the first ever
    // made holds unsaved changes, not the file as it was.
    QCOMPARE(addBackup(folder, path, "unsaved", BackupKind::Unsaved), QString());
    for (int i = 0; i <= maxBackups; ++i)
        QCOMPARE(addBackup(folder, path, QByteArray::number(i), BackupKind::OnDisk), QString());

    // The 32nd removed the oldest but the first of the file as it was.
    const QVector<Backup> backups = listBackups(folder, path);
    QCOMPARE(backups.size(), maxBackups);
    QByteArray bytes;
    for (int i = 0; i < maxBackups; ++i) {
        QCOMPARE(readBackup(backups.at(i), bytes), QString());
        QCOMPARE(bytes, QByteArray::number(i + 1 == maxBackups ? 0 : maxBackups - i));
        QCOMPARE(backups.at(i).first, i + 1 == maxBackups);
    }
    QCOMPARE(readFile(QDir(folder).filePath(fileKey(path) + "/path.txt")),
             canonicalPath(path).toUtf8());
    QVERIFY(listBackups(folder, m_dir.filePath("other.rqv")).isEmpty());
    QCOMPARE(addBackup(folder, path, "unsaved", BackupKind::Unsaved), QString());
    const Backup unsaved = listBackups(folder, path).first();
    QVERIFY(unsaved.kind == BackupKind::Unsaved && !unsaved.first);
    QVERIFY(listBackups(folder, path).last().first);
}

// A folder that cannot be made is told of by the reason of the first mkdir
// that failed, not by the file that could then not be written there.
void TestSafeKeeping::failedFoldersGiveTheirReason()
{
    const QString blocker = m_dir.filePath("blocker");
    QVERIFY(writeFile(blocker, "x"));
    const QString data = blocker + "/officer-maker/officer-maker";
    const QString path = m_dir.filePath("editdata.rqv");
    QStringList reasons{writeRecovery(data + "/recovery", path, "x"),
                        addBackup(data + "/backups", path, "x", BackupKind::OnDisk)};
#ifdef Q_OS_UNIX
    const QString notAFolder = qt_error_string(ENOTDIR);
    QCOMPARE(reasons, (QStringList{notAFolder, notAFolder}));
    // Root writes anywhere; others meet a folder they may not write.
    const QString closed = m_dir.filePath("closed");
    QVERIFY(QDir().mkdir(closed));
    QVERIFY(QFile::setPermissions(closed, QFile::ReadOwner | QFile::ExeOwner));
    if (!QFileInfo(closed).isWritable())
        QCOMPARE(writeWhole(closed + "/data/recovery/x.rqv", "x"), qt_error_string(EACCES));
    QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#else
    QVERIFY(!reasons.at(0).isEmpty() && reasons.at(1) == reasons.at(0));
#endif
}

void TestSafeKeeping::watcherReportsOtherProgramsOnly()
{
    const QString path = m_dir.filePath("watched/editdata.rqv");
    QCOMPARE(writeWhole(path, "opened"), QString());
    const int settle = 100;
    DiskWatcher watcher(settle);
    QSignalSpy changed(&watcher, &DiskWatcher::changed);
    QSignalSpy deleted(&watcher, &DiskWatcher::deleted);
    watcher.watch(path, "opened");

    // An atomic replacement, then a write in place into the file that
    // replaced the watched one.
    QCOMPARE(writeWhole(path, "other 1"), QString());
    QTRY_COMPARE(changed.count(), 1);
    QVERIFY(writeFile(path, "other 2"));
    QTRY_COMPARE(changed.count(), 2);
    // Neither the same bytes written again nor the program's own save.
    QCOMPARE(writeWhole(path, "other 2"), QString());
    QTest::qWait(4 * settle);
    watcher.setCurrent("own save");
    QCOMPARE(writeWhole(path, "own save"), QString());
    QTest::qWait(4 * settle);
    QCOMPARE(writeWhole(path, "other 3"), QString());
    QTRY_COMPARE(changed.count(), 3);
    QList<QByteArray> reported;
    for (const QList<QVariant> &signal : changed)
        reported.append(signal.at(0).toByteArray());
    QCOMPARE(reported, QList<QByteArray>({"other 1", "other 2", "other 3"}));

    // Nor the disk going back to the program's own bytes.
    QCOMPARE(writeWhole(path, "own save"), QString());
    QTest::qWait(4 * settle);
    QVERIFY(QFile::remove(path));
    QTRY_COMPARE(deleted.count(), 1);
    QCOMPARE(changed.count(), 3);
}

// Another running copy's lock, and its takeover once the copy is killed, are
// tested with the program itself in tst_safesaving.
void TestSafeKeeping::locks()
{
    const QString folder = m_dir.filePath("locks");
    QVERIFY(QDir().mkpath(folder));
    const QString path = m_dir.filePath("locked.rqv");
    const QString other = m_dir.filePath("other.rqv");

    FileLock window1;
    QCOMPARE(window1.lock(path, folder), FileLock::Locked);
    QCOMPARE(window1.lock(m_dir.filePath("./locked.rqv"), folder), FileLock::Locked);
    FileLock window2;
    QCOMPARE(window2.lock(path, folder), FileLock::HeldElsewhere);
    QCOMPARE(window2.lock(other, folder), FileLock::Locked);
    // A holder that fails to take another file keeps its own.
    QCOMPARE(window2.lock(path, folder), FileLock::HeldElsewhere);
    QVERIFY(window2.holds(other));
    window1.unlock();
    QCOMPARE(window2.lock(path, folder), FileLock::Locked);
    QVERIFY(!window2.holds(other));
    QCOMPARE(window1.lock(other, folder), FileLock::Locked);
}

QTEST_GUILESS_MAIN(TestSafeKeeping)

#include "tst_safekeeping.moc"
