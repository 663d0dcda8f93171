// Keeping the player's work safe in the window: other programs' changes to
// the open file, a crash, the dated backups and one window per file.

#include "backups.h"
#include "datafolder.h"
#include "editdata.h"
#include "filekey.h"
#include "mainwindow.h"
#include "messages.h"
#include "program.h"
#include "recovery.h"
#include "restoredialog.h"
#include "testsupport.h"
#include "wholefile.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <cerrno>
#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace EditData;
using namespace SafeKeeping;
using Outcome = OfficerDocument::Outcome;

namespace {

// How long another program's change may take to be noticed, and how long
// to wait to see that nothing is noticed, in milliseconds.
constexpr int noticeMs = 10000;
constexpr int quietMs = 1500;

// 曹操 and one more officer.
QByteArray sample(const char *given)
{
    QByteArray image = blankImage();
    putRecord(image, 0, occupiedRecord(big5("曹"), big5("操"), 150, 1130));
    putRecord(image, 1, occupiedRecord(big5("曹"), big5(QString::fromUtf8(given)), 170, 1131));
    return image;
}

QString status(MainWindow &window)
{
    return window.statusBar()->currentMessage();
}

} // namespace

class TestSafeSaving : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void unsavedWorkMeetsAnotherProgramsChange();
    void cleanFileFollowsOtherPrograms();
    void crashLosesNothing();
    void recoveryCopyFollowsUnsavedWork();
    void savesRemoveTheRecoveryCopy();
    void writesOverTheFileSizeLimitFail();
    void backupsAreKeptAndRestored();

private:
    void open(MainWindow &window);
    void save(bool asked = false);
    QList<QByteArray> records() const { return m_window->document()->records(); }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestSafeSaving::initTestCase()
{
    useOwnDataFolder();
    copyBundledPools(m_dir.path());
}

// Each test has a file of its own, in a folder of its own: 曹操 and 曹甲.
void TestSafeSaving::init()
{
    m_window.reset();
    m_driver.reset(new DialogDriver);
    m_window = startWindowIn(m_dir.path());
    const QString folder = m_dir.filePath(QTest::currentTestFunction());
    QVERIFY(QDir().mkpath(folder));
    m_path = folder + "/editdata.rqv";
    QVERIFY(writeFile(m_path, sample("甲")));
    setText(*m_window, "edit_gName", "甲");
}

void TestSafeSaving::open(MainWindow &window)
{
    m_driver->planFileDialog(m_path);
    click(window, "cmd_open");
}

// Saves, expecting the file written and, when asked is set, one question
// before it.
void TestSafeSaving::save(bool asked)
{
    click(*m_window, "cmd_save");
    QCOMPARE(m_driver->takeQuestions().size(), asked ? 1 : 0);
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).text, QStringLiteral("保存完成。"));
}

// With unsaved changes the player is asked before the other program's
// version is loaded or overwritten, and whatever is dropped is kept.
void TestSafeSaving::unsavedWorkMeetsAnotherProgramsChange()
{
    open(*m_window);
    click(*m_window, "cmd_generateSingle");
    const QList<QByteArray> unsaved = records();
    const auto datedCopies = [this] {
        QList<QByteArray> copies;
        for (const Backup &backup : m_window->document()->backups())
            copies.append(readFile(backup.file));
        return copies;
    };
    QList<DialogDriver::Message> asked;

    const QByteArray theirs = sample("乙");
    QCOMPARE(writeWhole(m_path, theirs), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!(asked += m_driver->takeQuestions()).isEmpty(), noticeMs);
    QCOMPARE(asked.at(0).text,
             QStringLiteral(
                     "「editdata.rqv」已被其他程序修改。要重新載入嗎？未保存的修改將會遺失。"));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    // No keeps the work, and the same content is not asked about again.
    QCOMPARE(writeWhole(m_path, theirs), QString());
    QTest::qWait(quietMs);
    QVERIFY(m_driver->takeQuestions().isEmpty());

    // A save asks while the disk holds their version; No leaves it, Yes
    // keeps it once, as the .bak and the one dated copy.
    click(*m_window, "cmd_save");
    QCOMPARE(m_driver->takeQuestions().value(0).text,
             QStringLiteral("「editdata.rqv」在打開之後已被其他程序修改。仍然保存嗎？"));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    QCOMPARE(readFile(m_path), theirs);
    m_driver->planAnswer(QMessageBox::Yes);
    save(true);
    QCOMPARE(recordsOf(readFile(m_path)), unsaved);
    QCOMPARE(readFile(m_path + ".bak"), theirs);
    QCOMPARE(datedCopies(), QList<QByteArray>{theirs});
    // The program's own save is neither noticed nor kept.
    QTest::qWait(quietMs);
    QVERIFY(status(*m_window).startsWith("已保存"));
    save();
    QCOMPARE(datedCopies(), QList<QByteArray>{theirs});

    // Yes to the reload keeps the unsaved state as a dated copy, and the
    // reloaded file is due a backup again.
    click(*m_window, "cmd_generateSingle");
    QByteArray dropped = readFile(m_path);
    writeRecordsToImage(records(), dropped);
    const QByteArray newer = sample("丙");
    m_driver->planAnswer(QMessageBox::Yes);
    asked.clear();
    QCOMPARE(writeWhole(m_path, newer), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!(asked += m_driver->takeQuestions()).isEmpty(), noticeMs);
    QCOMPARE(asked.at(0).title, QStringLiteral("文件已修改"));
    QCOMPARE(status(*m_window), QStringLiteral("「editdata.rqv」已重新載入。"));
    QCOMPARE(records(), recordsOf(newer));
    QVERIFY(!m_window->isWindowModified());
    QCOMPARE(datedCopies(), QList<QByteArray>({dropped, theirs}));
    {
        // The dropped changes are never the copy of the file as it was.
        RestoreDialog dialog(m_window->document()->backups());
        auto *list = dialog.findChild<QListWidget *>("list_backups");
        QVERIFY(list->item(0)->text().endsWith("名武將（重新載入前的修改）"));
        QVERIFY(list->item(1)->text().endsWith("名武將（最初）"));
    }
    click(*m_window, "cmd_generateSingle");
    save();
    QCOMPARE(readFile(m_path + ".bak"), newer);
}

// Without unsaved changes the file is read again each time another program
// replaces it; what the program could not open is not loaded.
void TestSafeSaving::cleanFileFollowsOtherPrograms()
{
    open(*m_window);
    for (const char *given : {"乙", "丙"}) {
        QCOMPARE(writeWhole(m_path, sample(given)), QString());
        QTRY_COMPARE_WITH_TIMEOUT(records(), recordsOf(sample(given)), noticeMs);
        QCOMPARE(status(*m_window),
                 QStringLiteral("「editdata.rqv」已被其他程序修改，已重新載入。"));
    }
    QVERIFY(m_driver->takeQuestions().isEmpty());

    QCOMPARE(writeWhole(m_path, QByteArray(100, 'z')), QString());
    QTRY_COMPARE_WITH_TIMEOUT(
            status(*m_window),
            QStringLiteral("「editdata.rqv」已被其他程序修改，無法重新載入：文件大小非預期。"),
            noticeMs);
    QCOMPARE(records(), recordsOf(sample("丙")));

    // A deleted file is written again by the next save, unasked; there was
    // nothing to keep, and no later save of this open keeps the program's
    // own writes.
    QVERIFY(QFile::remove(m_path));
    QTRY_COMPARE_WITH_TIMEOUT(status(*m_window), QStringLiteral("「editdata.rqv」已從磁碟上刪除。"),
                              noticeMs);
    save();
    QCOMPARE(readFile(m_path), sample("丙"));
    click(*m_window, "cmd_generateSingle");
    save();
    QVERIFY(!QFile::exists(m_path + ".bak"));
    QVERIFY(m_window->document()->backups().isEmpty());
}

// The program is killed while it has unsaved changes; started again, it
// recovers the records of its last step. While the killed copy ran, the
// file was its own; its lock is taken over once it is gone. One window per
// file holds within the program too.
void TestSafeSaving::crashLosesNothing()
{
    const QByteArray image = readFile(m_path);
    QProcess copy;
    copy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy.start(QCoreApplication::applicationFilePath(),
               {"--crash-child", m_dir.path(), m_path, QCoreApplication::applicationName()});
    while (!copy.canReadLine() && copy.waitForReadyRead(60000)) { }
    QCOMPARE(copy.readLine().trimmed(), QByteArray("written"));
    Recovery lastStep;
    QVERIFY(readRecovery(recoveryFolder(), m_path, lastStep));

    open(*m_window);
    const auto refused = m_driver->takeMessages();
    QCOMPARE(refused.size(), 1);
    QCOMPARE(QStringList({refused.at(0).kind, refused.at(0).title, refused.at(0).text}),
             QStringList({"warning", "錯誤",
                          "「" + QDir::toNativeSeparators(m_path) + "」已在另一個視窗中打開。"}));
    copy.kill();
    QVERIFY(copy.waitForFinished(30000));

    m_driver->planAnswer(QMessageBox::Yes);
    open(*m_window);
    const QString asked = m_driver->takeQuestions().value(0).text;
    QVERIFY2(asked.contains(QRegularExpression("^「editdata.rqv」有未保存的修改（\\d{4}-\\d\\d-"
                                               "\\d\\d \\d\\d:\\d\\d）。要恢復嗎？$")),
             qPrintable(asked));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::Yes);
    QCOMPARE(records(), recordsOf(lastStep.bytes));
    QVERIFY(m_window->isWindowModified());
    QUndoStack *history = m_window->document()->undoStack();
    QCOMPARE(history->undoText(), QStringLiteral("恢復未保存的修改"));
    QCOMPARE(readFile(m_path), image);
    history->undo();
    QCOMPARE(records(), recordsOf(image));
    QVERIFY(!m_window->isWindowModified());

    // Another window may not open the file until this one is closed; closed
    // after 丟棄, its unsaved changes leave no copy to offer.
    history->redo();
    m_window->document()->flushRecovery();
    triggerAction(*m_window, QKeySequence::New);
    MainWindow *opened = testProgram().windows().last();
    QVERIFY(opened != m_window.get());
    const std::unique_ptr<MainWindow> second(opened);
    open(*second);
    QCOMPARE(m_driver->takeMessages().size(), 1);
    QVERIFY(!second->document()->isOpen());
    QVERIFY(m_window->close());
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    open(*second);
    QVERIFY(m_driver->takeQuestions().isEmpty());
    QCOMPARE(second->document()->records(), recordsOf(image));
}

// The copy exists while there are unsaved changes; one that cannot be
// written is told of.
void TestSafeSaving::recoveryCopyFollowsUnsavedWork()
{
    open(*m_window);
    OfficerDocument *document = m_window->document();
    const auto copied = [&] {
        if (document)
            document->flushRecovery();
        Recovery recovery;
        return readRecovery(recoveryFolder(), m_path, recovery) ? recordsOf(recovery.bytes)
                                                                : QList<QByteArray>();
    };
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(copied(), records());
    save();
    QCOMPARE(copied(), QList<QByteArray>());

    click(*m_window, "cmd_generateSingle");
    const QString notAFolder = m_dir.filePath("not-a-folder");
    QVERIFY(writeFile(notAFolder, "x"));
    document->setRecoveryFolder(notAFolder);
    document->flushRecovery();
    QVERIFY2(status(*m_window).contains(QRegularExpression("^無法寫入恢復文件：.")),
             qPrintable(status(*m_window)));

    // A window ended without closing writes the copy still due and keeps it;
    // declined at the next open, it is gone.
    document->setRecoveryFolder(recoveryFolder());
    m_window.reset();
    document = nullptr;
    QVERIFY(!copied().isEmpty());
    m_window.reset(testProgram().newWindow());
    m_window->show();
    setText(*m_window, "edit_gName", "甲");
    document = m_window->document();
    open(*m_window);
    QCOMPARE(m_driver->takeQuestions().value(0).title, QStringLiteral("恢復"));
    QCOMPARE(copied(), QList<QByteArray>());
}

// Each save removes the recovery copy, also the copy of changes made since
// the last save whose own copy was not written yet.
void TestSafeSaving::savesRemoveTheRecoveryCopy()
{
    OfficerDocument document;
    QCOMPARE(document.open(m_path).outcome, Outcome::Done);
    Recovery recovery;
    const auto change = [&] {
        return document.generateSingle("關", "羽", QString(), false, {}).changed();
    };
    QVERIFY(change());
    document.flushRecovery();
    QVERIFY(readRecovery(recoveryFolder(), m_path, recovery));
    QCOMPARE(document.writeFile().outcome, Outcome::Done);
    QVERIFY(change());
    document.flushRecovery();
    QVERIFY(change()); // its copy is due, not written
    QCOMPARE(document.writeFile().outcome, Outcome::Done);
    QVERIFY(change());
    QCOMPARE(document.writeFile().outcome, Outcome::Done);
    document.flushRecovery();
    QVERIFY(!readRecovery(recoveryFolder(), m_path, recovery));
}

// Under a file-size limit smaller than the file, each write fails and says
// that the file is too large; the file and the work stay, and once the limit
// is gone the save goes through.
void TestSafeSaving::writesOverTheFileSizeLimitFail()
{
#ifdef Q_OS_UNIX
    OfficerDocument document;
    QCOMPARE(document.open(m_path).outcome, Outcome::Done);
    const QByteArray image = readFile(m_path);
    QSignalSpy recoveryFailed(&document, &OfficerDocument::recoveryFailed);
    SafeKeeping::ignoreFileSizeSignal();
    rlimit limit;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    limit.rlim_cur = 100000; // within a write, not between two
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    QVERIFY(document.generateSingle("關", "羽", QString(), false, {}).changed());
    document.flushRecovery();
    const OfficerDocument::Result backup = document.backUpBeforeWrite();
    const OfficerDocument::Result written = document.writeFile();
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &unlimited), 0);

    const QString tooLarge = qt_error_string(EFBIG);
    QCOMPARE(recoveryFailed.value(0).value(0).toString(), tooLarge);
    QVERIFY(backup.failed() && backup.reason == tooLarge);
    QCOMPARE(Messages::describe(written), QStringLiteral("文件寫入失敗。"));
    QCOMPARE(written.reason, tooLarge);
    QCOMPARE(readFile(m_path), image);
    QVERIFY(document.isModified());
    QVERIFY(!document.backUpBeforeWrite().failed());
    QCOMPARE(document.writeFile().outcome, Outcome::Done);
    QCOMPARE(recordsOf(readFile(m_path)), document.records());
#else
    QSKIP("The file-size limit is a limit of Unix processes");
#endif
}

// Before the first save of each open, the file is kept as a dated copy,
// also when its .bak fails; the copies are listed newest first, and the one
// chosen is restored as one step.
void TestSafeSaving::backupsAreKeptAndRestored()
{
    const QByteArray original = readFile(m_path);
    open(*m_window);
    OfficerDocument *document = m_window->document();
    QAction *restore = nullptr;
    for (QAction *action : m_window->findChildren<QAction *>())
        restore = action->text() == "還原備份…" ? action : restore;
    QVERIFY(restore && !restore->isEnabled());

    // A dated copy that cannot be written asks as a .bak does; No saves
    // nothing.
    const QString notAFolder = m_dir.filePath("backups-file");
    QVERIFY(writeFile(notAFolder, "x"));
    document->setBackupsFolder(notAFolder);
    click(*m_window, "cmd_generateSingle");
    click(*m_window, "cmd_save");
    QVERIFY(m_driver->takeQuestions().value(0).text.startsWith(
            "無法建立備份文件「" + QDir::toNativeSeparators(notAFolder)));
    QCOMPARE(readFile(m_path), original);
    document->setBackupsFolder(backupsFolder());
    QVERIFY(QFile::remove(m_path + ".bak") && QDir().mkdir(m_path + ".bak"));
    m_driver->planAnswer(QMessageBox::Yes);
    save(true);
    QCOMPARE(document->backups().size(), 1);
    QVERIFY(restore->isEnabled());
    QVERIFY(QDir().rmdir(m_path + ".bak"));
    open(*m_window);
    const QByteArray before = readFile(m_path);
    click(*m_window, "cmd_generateSingle");
    save();
    QCOMPARE(document->backups().size(), 2);

    // Newest first, the first ever marked; a copy that is no data file is
    // listed but cannot be chosen.
    QVERIFY(writeFile(QDir(backupsFolder()).filePath(fileKey(m_path) + "/99_20000101-000000.rqv"),
                      "another program's"));
    QStringList rows;
    bool strayChosen = true;
    whenShown<RestoreDialog>(this, [&](RestoreDialog *dialog) {
        auto *list = dialog->findChild<QListWidget *>("list_backups");
        for (int row = 0; row < list->count(); ++row)
            rows.append(list->item(row)->text());
        strayChosen = list->item(0)->flags() & Qt::ItemIsSelectable;
        list->setCurrentRow(list->count() - 1);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    restore->trigger();
    QCOMPARE(rows.size(), 3);
    QVERIFY2(rows.at(0).endsWith("\u3000文件大小非預期。") && !strayChosen, qPrintable(rows.at(0)));
    const QRegularExpression row("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\u3000(\\d+)名武將$");
    QCOMPARE(row.match(rows.at(1)).captured(1).toInt(), occupiedSlots(recordsOf(before)).size());
    QVERIFY2(row.match(rows.at(2).chopped(4)).hasMatch() && rows.at(2).endsWith("2名武將（最初）"),
             qPrintable(rows.at(2)));
    // OK restores the records as one step; nothing is written.
    QCOMPARE(records(), recordsOf(original));
    QCOMPARE(document->undoStack()->undoText(), QStringLiteral("還原備份"));
    QVERIFY(m_window->isWindowModified());
    QVERIFY(readFile(m_path) != original);

    const int steps = document->undoStack()->count();
    whenShown<RestoreDialog>(this, [](RestoreDialog *dialog) { dialog->reject(); });
    restore->trigger();
    QCOMPARE(document->undoStack()->count(), steps);
}

// As the program killed in crashLosesNothing(): opens the file in its own
// window, makes a batch and one more officer, tells once their recovery copy
// is on disk, and waits to be killed.
static int crashChild(const QString &dir, const QString &path, const QString &runName)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(runName);
    const std::unique_ptr<MainWindow> window = startWindowIn(dir);
    OfficerDocument *document = window->document();
    if (document->open(path).failed())
        return 1;
    setText(*window, "num_male", "5");
    click(*window, "cmd_generateAll");
    setText(*window, "edit_gName", "乙");
    click(*window, "cmd_generateSingle");
    const bool written = QTest::qWaitFor(
            [&] {
                Recovery recovery;
                return readRecovery(recoveryFolder(), path, recovery)
                       && recordsOf(recovery.bytes) == document->records();
            },
            60000);
    if (!written)
        return 1;
    std::printf("written\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (argc == 5 && qstrcmp(argv[1], "--crash-child") == 0)
        return crashChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                          QString::fromLocal8Bit(argv[4]));
    TestSafeSaving test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_safesaving.moc"
