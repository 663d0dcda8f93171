// Keeping the player's work safe in the window: other programs' changes to
// the open file, a crash, the dated backups and one window per file.

#include "backups.h"
#include "datafolder.h"
#include "editdata.h"
#include "filekey.h"
#include "mainwindow.h"
#include "names.h"
#include "recovery.h"
#include "restoredialog.h"
#include "testsupport.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <cstdio>
#include <memory>

using namespace EditData;
using namespace SafeKeeping;

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

// Writes the file as programs that save atomically do.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

QByteArray withRecords(QByteArray image, const QList<QByteArray> &records)
{
    writeRecordsToImage(records, image);
    return image;
}

QByteArray recordsDigest(const QList<QByteArray> &records)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QByteArray &record : records)
        hash.addData(record);
    return hash.result().toHex();
}

QString status(MainWindow &window)
{
    return window.statusBar()->currentMessage();
}

QAction *menuAction(MainWindow &window, const QString &text)
{
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class TestSafeSaving : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void unsavedWorkMeetsAnotherProgramsChange();
    void cleanFileFollowsOtherPrograms();
    void crashLosesNothing();
    void recoveryCopyFollowsUnsavedWork();
    void backupsAreKeptAndRestored();
    void oneWindowPerFile();

private:
    void start(const QByteArray &image);
    void open(MainWindow &window);
    void save(bool asked = false);
    DialogDriver::Message nextQuestion();
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

// Each test has a file of its own, in a folder of its own.
void TestSafeSaving::init()
{
    m_driver.reset(new DialogDriver);
    m_window = startWindowIn(m_dir.path());
    const QString folder = m_dir.filePath(QTest::currentTestFunction());
    QVERIFY(QDir().mkpath(folder));
    m_path = folder + "/editdata.rqv";
    setText(*m_window, "edit_gName", "甲");
}

void TestSafeSaving::cleanup()
{
    for (MainWindow *window : MainWindow::windows()) {
        if (window != m_window.get())
            delete window;
    }
    m_window.reset();
    m_driver.reset();
}

void TestSafeSaving::start(const QByteArray &image)
{
    QVERIFY(writeFile(m_path, image));
    open(*m_window);
    QVERIFY(m_driver->takeMessages().isEmpty());
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

// The next question the window asks, or none in time.
DialogDriver::Message TestSafeSaving::nextQuestion()
{
    QList<DialogDriver::Message> asked;
    static_cast<void>(QTest::qWaitFor(
            [&] {
                asked += m_driver->takeQuestions();
                return !asked.isEmpty();
            },
            noticeMs));
    return asked.value(0);
}

// With unsaved changes the player is asked before the other program's
// version is loaded or overwritten, and whatever is dropped is kept.
void TestSafeSaving::unsavedWorkMeetsAnotherProgramsChange()
{
    start(sample("甲"));
    OfficerDocument *document = m_window->document();
    click(*m_window, "cmd_generateSingle");
    const QList<QByteArray> unsaved = records();

    const QByteArray theirs = sample("乙");
    replaceFile(m_path, theirs);
    QCOMPARE(nextQuestion().text,
             QStringLiteral(
                     "「editdata.rqv」已被其他程序修改。要重新載入嗎？未保存的修改將會遺失。"));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    // No keeps the work, and the same content is not asked about again.
    QCOMPARE(records(), unsaved);
    replaceFile(m_path, theirs);
    QTest::qWait(quietMs);
    QVERIFY(m_driver->takeQuestions().isEmpty());

    // A save asks while the disk holds their version; No leaves it.
    click(*m_window, "cmd_save");
    QCOMPARE(m_driver->takeQuestions().value(0).text,
             QStringLiteral("「editdata.rqv」在打開之後已被其他程序修改。仍然保存嗎？"));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(readFile(m_path), theirs);
    QVERIFY(m_window->isWindowModified());
    // Yes keeps their version, once, as the .bak and the one dated copy.
    m_driver->planAnswer(QMessageBox::Yes);
    save(true);
    QCOMPARE(recordsOf(readFile(m_path)), unsaved);
    QCOMPARE(readFile(m_path + ".bak"), theirs);
    QVector<Backup> backups = document->backups();
    QCOMPARE(backups.size(), 1);
    QByteArray kept;
    QCOMPARE(readBackup(backups.at(0), kept), QString());
    QCOMPARE(kept, theirs);
    // The program's own save is neither noticed nor asked about, nor kept.
    QTest::qWait(quietMs);
    QVERIFY(m_driver->takeQuestions().isEmpty());
    QVERIFY(status(*m_window).startsWith("已保存"));
    save();
    QCOMPARE(document->backups().size(), 1);

    // Yes to the reload keeps the unsaved state as a dated copy, and the
    // reloaded file is due a backup again.
    click(*m_window, "cmd_generateSingle");
    const QByteArray dropped = withRecords(readFile(m_path), records());
    const QByteArray newer = sample("丙");
    m_driver->planAnswer(QMessageBox::Yes);
    replaceFile(m_path, newer);
    QCOMPARE(nextQuestion().title, QStringLiteral("文件已修改"));
    QCOMPARE(status(*m_window), QStringLiteral("「editdata.rqv」已重新載入。"));
    QCOMPARE(records(), recordsOf(newer));
    QVERIFY(!m_window->isWindowModified());
    backups = document->backups();
    QCOMPARE(backups.size(), 2);
    QCOMPARE(readBackup(backups.at(0), kept), QString());
    QCOMPARE(kept, dropped);
    click(*m_window, "cmd_generateSingle");
    save();
    QCOMPARE(readFile(m_path + ".bak"), newer);
}

// Without unsaved changes the file is read again each time another program
// replaces it; what the program could not open is not loaded.
void TestSafeSaving::cleanFileFollowsOtherPrograms()
{
    start(sample("甲"));
    for (const char *given : {"乙", "丙"}) {
        replaceFile(m_path, sample(given));
        QTRY_COMPARE_WITH_TIMEOUT(records(), recordsOf(sample(given)), noticeMs);
        QCOMPARE(status(*m_window),
                 QStringLiteral("「editdata.rqv」已被其他程序修改，已重新載入。"));
    }
    QVERIFY(m_driver->takeQuestions().isEmpty());

    replaceFile(m_path, QByteArray(100, 'z'));
    QTRY_COMPARE_WITH_TIMEOUT(
            status(*m_window),
            QStringLiteral("「editdata.rqv」已被其他程序修改，無法重新載入：文件大小非預期。"),
            noticeMs);
    QCOMPARE(records(), recordsOf(sample("丙")));

    // A deleted file is written again by the next save, unasked.
    QVERIFY(QFile::remove(m_path));
    QTRY_COMPARE_WITH_TIMEOUT(status(*m_window), QStringLiteral("「editdata.rqv」已從磁碟上刪除。"),
                              noticeMs);
    save();
    QCOMPARE(readFile(m_path), sample("丙"));
}

// The program is killed while it has unsaved changes; started again, it
// recovers the records of its last step. While the killed copy ran, the
// file was its own; its lock is taken over once it is gone.
void TestSafeSaving::crashLosesNothing()
{
    const QByteArray image = sample("甲");
    QVERIFY(writeFile(m_path, image));
    QProcess copy;
    copy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy.start(QCoreApplication::applicationFilePath(),
               {"--crash-child", m_dir.path(), m_path, QCoreApplication::applicationName()});
    while (!copy.canReadLine() && copy.waitForReadyRead(60000)) { }
    const QByteArray lastStep = copy.readLine().trimmed();
    QCOMPARE(lastStep.size(), 40);

    open(*m_window);
    const auto refused = m_driver->takeMessages();
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused.at(0).text, QStringLiteral("「editdata.rqv」已在另一個視窗中打開。"));
    copy.kill();
    QVERIFY(copy.waitForFinished(30000));

    m_driver->planAnswer(QMessageBox::Yes);
    open(*m_window);
    QVERIFY(m_driver->takeMessages().isEmpty());
    const auto questions = m_driver->takeQuestions();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.at(0).title, QStringLiteral("恢復"));
    QVERIFY2(QRegularExpression("^「editdata.rqv」有未保存的修改（\\d{4}-\\d\\d-\\d\\d "
                                "\\d\\d:\\d\\d）。要恢復嗎？$")
                     .match(questions.at(0).text)
                     .hasMatch(),
             qPrintable(questions.at(0).text));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::Yes);
    QCOMPARE(recordsDigest(records()), lastStep);
    QVERIFY(m_window->isWindowModified());
    QUndoStack *history = m_window->document()->undoStack();
    QCOMPARE(history->undoText(), QStringLiteral("恢復未保存的修改"));
    QCOMPARE(readFile(m_path), image);
    history->undo();
    QCOMPARE(records(), recordsOf(image));
    QVERIFY(!m_window->isWindowModified());
}

// The copy exists exactly while there are unsaved changes, and one that
// cannot be written stops nothing.
void TestSafeSaving::recoveryCopyFollowsUnsavedWork()
{
    start(sample("甲"));
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
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(copied(), QList<QByteArray>());
    triggerAction(*m_window, QKeySequence::Redo);
    QCOMPARE(copied(), records());
    save();
    QCOMPARE(copied(), QList<QByteArray>());

    // A copy that cannot be written is told of and stops no step.
    click(*m_window, "cmd_generateSingle");
    const QString notAFolder = m_dir.filePath("not-a-folder");
    QVERIFY(writeFile(notAFolder, "x"));
    document->setRecoveryFolder(notAFolder);
    document->flushRecovery();
    QVERIFY2(status(*m_window).startsWith("無法寫入恢復文件："), qPrintable(status(*m_window)));
    const int listed = listedNames(*m_window).size();
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(listedNames(*m_window).size(), listed + 1);
    document->setRecoveryFolder(recoveryFolder());
    QCOMPARE(copied(), records());

    // A window ended without closing keeps the copy; declined at the next
    // open, it is gone.
    m_window.reset();
    document = nullptr;
    QVERIFY(!copied().isEmpty());
    m_window.reset(new MainWindow(std::make_shared<Names::NamePools>()));
    m_window->show();
    setText(*m_window, "edit_gName", "甲");
    document = m_window->document();
    open(*m_window);
    QCOMPARE(m_driver->takeQuestions().value(0).title, QStringLiteral("恢復"));
    QCOMPARE(copied(), QList<QByteArray>());

    // Closing the window after 丟棄 drops the copy.
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(copied(), records());
    QVERIFY(m_window->close());
    QCOMPARE(copied(), QList<QByteArray>());
}

void TestSafeSaving::backupsAreKeptAndRestored()
{
    const QByteArray original = sample("甲");
    start(original);
    OfficerDocument *document = m_window->document();
    QAction *restore = menuAction(*m_window, "還原備份…");
    QVERIFY(restore && !restore->isEnabled());

    // After a first save whose .bak failed, answered Yes, later saves of the
    // same open keep no copy of the program's own writes.
    const QString bak = m_path + ".bak";
    QVERIFY(QDir().mkdir(bak));
    click(*m_window, "cmd_generateSingle");
    m_driver->planAnswer(QMessageBox::Yes);
    click(*m_window, "cmd_save");
    QVERIFY(m_driver->takeQuestions().value(0).text.startsWith(
            "無法建立備份文件「editdata.rqv.bak」："));
    QCOMPARE(m_driver->takeMessages().size(), 1);
    QCOMPARE(document->backups().size(), 1);
    QVERIFY(restore->isEnabled());
    click(*m_window, "cmd_generateSingle");
    save();
    QCOMPARE(document->backups().size(), 1);
    QVERIFY(QDir().rmdir(bak));

    // Nor after a first save that found no file.
    open(*m_window);
    QVERIFY(QFile::remove(m_path));
    for (int i = 0; i < 2; ++i) {
        click(*m_window, "cmd_generateSingle");
        save();
    }
    QVERIFY(!QFile::exists(bak));
    QCOMPARE(document->backups().size(), 1);

    // A dated copy that cannot be written is a backup failure too.
    open(*m_window);
    const QByteArray before = readFile(m_path);
    const QString notAFolder = m_dir.filePath("backups-file");
    QVERIFY(writeFile(notAFolder, "x"));
    document->setBackupsFolder(notAFolder);
    click(*m_window, "cmd_generateSingle");
    click(*m_window, "cmd_save");
    QVERIFY(m_driver->takeQuestions().value(0).text.startsWith(
            "無法建立備份文件「" + QDir::toNativeSeparators(notAFolder)));
    QCOMPARE(readFile(m_path), before);
    document->setBackupsFolder(backupsFolder());
    save();
    QCOMPARE(document->backups().size(), 2);

    // Newest first, the first ever marked; a copy that is no data file is
    // listed but cannot be chosen.
    const QString stray =
            QDir(backupsFolder()).filePath(fileKey(m_path) + "/99_20000101-000000.rqv");
    QVERIFY(writeFile(stray, "another program's"));
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

// A second window may not open the file one window has open; the window
// that has it may open it again.
void TestSafeSaving::oneWindowPerFile()
{
    start(sample("甲"));
    triggerAction(*m_window, QKeySequence::New);
    MainWindow *second = MainWindow::windows().last();
    QVERIFY(second != m_window.get());
    open(*second);
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, QStringLiteral("warning"));
    QCOMPARE(messages.at(0).title, QStringLiteral("錯誤"));
    QCOMPARE(messages.at(0).text, QStringLiteral("「editdata.rqv」已在另一個視窗中打開。"));
    QVERIFY(!second->document()->isOpen());

    open(*m_window);
    QVERIFY(m_driver->takeMessages().isEmpty());
    QVERIFY(m_window->close());
    open(*second);
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(second->document()->records(), recordsOf(sample("甲")));
}

// As the program killed in crashLosesNothing(): opens the file in its own
// window, makes a batch and one more officer, tells the digest of the
// records once their recovery copy is on disk, and waits to be killed.
static int crashChild(const QString &dir, const QString &path, const QString &runName)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(runName);
    const std::unique_ptr<MainWindow> window = startWindowIn(dir);
    OfficerDocument *document = window->document();
    if (document->open(path) != ReadError::None)
        return 1;
    window->findChild<QLineEdit *>("num_male")->setText("5");
    window->findChild<QPushButton *>("cmd_generateAll")->click();
    window->findChild<QLineEdit *>("edit_gName")->setText("乙");
    window->findChild<QPushButton *>("cmd_generateSingle")->click();
    const QByteArray expected = withRecords(readFile(path), document->records());
    const bool written = QTest::qWaitFor(
            [&] {
                Recovery recovery;
                return readRecovery(recoveryFolder(), path, recovery) && recovery.bytes == expected;
            },
            60000);
    if (!written)
        return 1;
    std::printf("%s\n", recordsDigest(document->records()).constData());
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
