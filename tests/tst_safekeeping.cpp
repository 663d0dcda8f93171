#include "backups.h"
#include "diskwatcher.h"
#include "filekey.h"
#include "filelock.h"
#include "recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace SafeKeeping;

namespace {

// Writes the file as programs that save atomically do: a new file replaces
// the old one.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSafeKeeping : public QObject
{
    Q_OBJECT

private slots:
    void fileKeys();
    void recoveryCopies();
    void recoveryFailureIsReported();
    void backupsKeepTheFirstAndTheNewest();
    void watcherReportsOtherProgramsOnly();
    void locks();

private:
    QTemporaryDir m_dir;
};

void TestSafeKeeping::fileKeys()
{
    QVERIFY(QDir(m_dir.path()).mkpath("a/sub") && QDir(m_dir.path()).mkpath("b"));
    const QString file = m_dir.filePath("a/editdata.rqv");
    replaceFile(file, "x");
    const QString key = fileKey(file);
    QCOMPARE(fileKey(m_dir.filePath("a/sub/../editdata.rqv")), key);
#ifdef Q_OS_WIN
    QCOMPARE(fileKey(file.toUpper()), key);
#else
    QVERIFY(QFile::link(m_dir.filePath("a"), m_dir.filePath("link")));
    QCOMPARE(fileKey(m_dir.filePath("link/editdata.rqv")), key);
#endif
    // Every copy of the game's file has the same name.
    QVERIFY(fileKey(m_dir.filePath("b/editdata.rqv")) != key);
    // A file that is gone keeps its key; two gone files do not share one.
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
    const int changes = 100;
    for (int i = 1; i <= changes; ++i) {
        writer.schedule(path, QByteArray(1000, char(i)));
        QTest::qWait(4);
    }
    const qint64 elapsed = clock.elapsed();
    QTRY_COMPARE(contents(QDir(folder).filePath(fileKey(path) + ".rqv")),
                 QByteArray(1000, char(changes)));
    writer.finish();
    QVERIFY2(written.count() >= 1 && written.count() <= elapsed / delay + 2,
             qPrintable(QString::number(written.count())));

    Recovery recovery;
    QVERIFY(readRecovery(folder, path, recovery));
    QCOMPARE(recovery.bytes, QByteArray(1000, char(changes)));
    QCOMPARE(recovery.path, canonicalPath(path));
    QVERIFY(qAbs(recovery.time.secsTo(QDateTime::currentDateTime())) < 60);

    // Removing leaves nothing behind, also when a change was still waiting.
    writer.schedule(path, "later");
    writer.remove(path);
    writer.finish();
    QVERIFY(!readRecovery(folder, path, recovery));
    QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void TestSafeKeeping::recoveryFailureIsReported()
{
    // A file where the folder should be.
    const QString folder = m_dir.filePath("not-a-folder");
    replaceFile(folder, "x");
    RecoveryWriter writer(folder);
    QSignalSpy written(&writer, &RecoveryWriter::written);
    QSignalSpy failed(&writer, &RecoveryWriter::failed);
    writer.schedule(m_dir.filePath("editdata.rqv"), "bytes");
    writer.finish();
    QCOMPARE(written.count(), 0);
    QCOMPARE(failed.count(), 1);
    QVERIFY(!failed.at(0).at(0).toString().isEmpty());
}

void TestSafeKeeping::backupsKeepTheFirstAndTheNewest()
{
    const QString folder = m_dir.filePath("backups");
    const QString path = m_dir.filePath("editdata.rqv");
    // Made in quick succession, many in the same second.
    for (int i = 0; i <= maxBackups; ++i)
        QCOMPARE(addBackup(folder, path, QByteArray::number(i)), QString());

    // The 31st removed the oldest but the first ever made.
    const QVector<Backup> backups = listBackups(folder, path);
    QCOMPARE(backups.size(), maxBackups);
    QByteArray bytes;
    for (int i = 0; i < maxBackups; ++i) {
        QCOMPARE(readBackup(backups.at(i), bytes), QString());
        QCOMPARE(bytes, QByteArray::number(i + 1 == maxBackups ? 0 : maxBackups - i));
        QCOMPARE(backups.at(i).first, i + 1 == maxBackups);
    }
    QVERIFY(qAbs(backups.first().time.secsTo(QDateTime::currentDateTime())) < 60);
    QCOMPARE(contents(QDir(folder).filePath(fileKey(path) + "/path.txt")),
             canonicalPath(path).toUtf8());
    // Another file has backups of its own.
    QVERIFY(listBackups(folder, m_dir.filePath("other.rqv")).isEmpty());

    const QString notAFolder = m_dir.filePath("backups-file");
    replaceFile(notAFolder, "x");
    QString copy;
    QVERIFY(!addBackup(notAFolder, path, "bytes", &copy).isEmpty());
    QVERIFY(copy.endsWith(".rqv"));
}

void TestSafeKeeping::watcherReportsOtherProgramsOnly()
{
    const QString path = m_dir.filePath("watched/editdata.rqv");
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    replaceFile(path, "opened");
    const int settle = 100;
    DiskWatcher watcher(settle);
    QSignalSpy changed(&watcher, &DiskWatcher::changed);
    QSignalSpy deleted(&watcher, &DiskWatcher::deleted);
    watcher.watch(path, "opened");

    // Each atomic replacement by another program, also after the file was
    // replaced once.
    replaceFile(path, "other 1");
    QTRY_COMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toByteArray(), QByteArray("other 1"));
    replaceFile(path, "other 2");
    QTRY_COMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toByteArray(), QByteArray("other 2"));
    // And a write in place into the file that replaced it.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("other 2b");
    }
    QTRY_COMPARE(changed.count(), 3);

    // Neither the program's own save nor the same bytes written again are
    // reported: the next report is the next other content.
    watcher.setCurrent("own save");
    replaceFile(path, "own save");
    QTest::qWait(4 * settle);
    replaceFile(path, "other 3");
    QTRY_COMPARE(changed.count(), 4);
    replaceFile(path, "other 3");
    QTest::qWait(4 * settle);
    replaceFile(path, "other 4");
    QTRY_COMPARE(changed.count(), 5);
    QCOMPARE(changed.at(3).at(0).toByteArray(), QByteArray("other 3"));
    QCOMPARE(changed.at(4).at(0).toByteArray(), QByteArray("other 4"));

    QVERIFY(QFile::remove(path));
    QTRY_COMPARE(deleted.count(), 1);
    QCOMPARE(changed.count(), 5);
    watcher.stop();
}

void TestSafeKeeping::locks()
{
    const QString lockFolder = m_dir.filePath("locks");
    QVERIFY(QDir().mkpath(lockFolder));
    const QString path = m_dir.filePath("locked.rqv");

    FileLock window1;
    QCOMPARE(window1.lock(path, lockFolder), FileLock::Locked);
    QCOMPARE(window1.lock(m_dir.filePath("./locked.rqv"), lockFolder), FileLock::Locked);
    QVERIFY(window1.holds(path));
    FileLock window2;
    QCOMPARE(window2.lock(path, lockFolder), FileLock::HeldElsewhere);
    QCOMPARE(window2.lock(m_dir.filePath("other.rqv"), lockFolder), FileLock::Locked);
    // A holder that fails to take another file keeps its own.
    QCOMPARE(window2.lock(path, lockFolder), FileLock::HeldElsewhere);
    QVERIFY(window2.holds(m_dir.filePath("other.rqv")));
    window1.unlock();
    QCOMPARE(window2.lock(path, lockFolder), FileLock::Locked);
    QVERIFY(!window2.holds(m_dir.filePath("other.rqv")));
    window2.unlock();

    // Another running copy holds the file until it is killed (SIGKILL; on
    // Windows, TerminateProcess): its lock is then taken over.
    QProcess copy;
    copy.start(QCoreApplication::applicationFilePath(), {"--hold-lock", path, lockFolder});
    QVERIFY(copy.waitForReadyRead(30000));
    QCOMPARE(copy.readLine().trimmed(), QByteArray::number(FileLock::Locked));
    FileLock window3;
    QCOMPARE(window3.lock(path, lockFolder), FileLock::HeldElsewhere);
    copy.kill();
    QVERIFY(copy.waitForFinished(30000));
    QCOMPARE(window3.lock(path, lockFolder), FileLock::Locked);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // As the other running copy of locks(): takes the lock, tells, and waits
    // to be killed.
    if (argc == 4 && qstrcmp(argv[1], "--hold-lock") == 0) {
        FileLock lock;
        std::printf("%d\n",
                    lock.lock(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])));
        std::fflush(stdout);
        return app.exec();
    }
    TestSafeKeeping test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_safekeeping.moc"
