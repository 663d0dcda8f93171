#include "datafolder.h"
#include "editdata.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <memory>

class TestOpenSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wrongSizesAreRefused_data();
    void wrongSizesAreRefused();
    void unreadableFileIsRefused();
    void secondFileReplacesEveryRecord();
    void cancelAndFailureKeepTheOpenFile();
    void saveWritesTheFileBackExactly();
    void saveRewritesDeletedAndShortenedFiles();
    void saveFailureIsReported();

private:
    // A file whose every byte differs from its neighbours, with a few
    // officers, so that any misplaced byte shows.
    QByteArray patternedImage(const QString &family);
    QString writeData(const QString &name, const QByteArray &bytes);
    void open(const QString &path);
    void expectMessage(const QString &kind, const QString &title, const QString &text);

    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestOpenSave::initTestCase()
{
    useOwnDataFolder();
}

void TestOpenSave::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestOpenSave::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

QByteArray TestOpenSave::patternedImage(const QString &family)
{
    QByteArray image(EditData::fileSize, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 131 + i / 256) | 1);
    // Slots 0, 2 and 4 hold officers; the others are empty but not blank.
    for (int slot = 0; slot < EditData::recordCount; ++slot) {
        QByteArray record = image.mid(EditData::recordAreaOffset + slot * EditData::recordSize,
                                      EditData::recordSize);
        record.replace(0, 9, QByteArray(9, '\0'));
        if (slot % 2 == 0 && slot <= 4) {
            record.replace(0, 3, big5(family) + '\0');
            record.replace(5, 3, big5(QString::number(slot)) + '\0');
            record.replace(EditData::styleName, 4, QByteArray(4, '\0'));
        }
        putRecord(image, slot, record);
    }
    return image;
}

QString TestOpenSave::writeData(const QString &name, const QByteArray &bytes)
{
    QDir(m_dir.path()).mkpath(name);
    const QString path = m_dir.path() + "/" + name + "/editdata.rqv";
    QFile::remove(path);
    if (!writeFile(path, bytes))
        return QString();
    return path;
}

void TestOpenSave::open(const QString &path)
{
    m_driver->planFileDialog(path);
    click(*m_window, "cmd_open");
}

void TestOpenSave::expectMessage(const QString &kind, const QString &title, const QString &text)
{
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, kind);
    QCOMPARE(messages.at(0).title, title);
    QCOMPARE(messages.at(0).text, text);
}

void TestOpenSave::wrongSizesAreRefused_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("one byte short") << EditData::fileSize - 1;
    QTest::newRow("one byte long") << EditData::fileSize + 1;
    QTest::newRow("empty") << 0;
}

void TestOpenSave::wrongSizesAreRefused()
{
    QFETCH(int, size);
    open(writeData("wrong", QByteArray(size, '\0')));
    expectMessage("critical", "錯誤", "文件大小非預期。");
    // No file is open: the commands ask for one, and save does nothing.
    click(*m_window, "cmd_generateSingle");
    expectMessage("warning", "錯誤", "請先打開數據文件。");
    click(*m_window, "cmd_save");
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestOpenSave::unreadableFileIsRefused()
{
    const QByteArray image = patternedImage("黃");
    const QString path = writeData("first", image);
    open(path);
    // A file that vanished after it was chosen, and a folder of that name.
    open(m_dir.path() + "/missing/editdata.rqv");
    expectMessage("critical", "錯誤", "文件無法打開。");
    QVERIFY(QDir(m_dir.path()).mkpath("folder/editdata.rqv"));
    open(m_dir.path() + "/folder/editdata.rqv");
    expectMessage("critical", "錯誤", "文件無法打開。");
    QCOMPARE(m_driver->fileDialogsSeen(), 3);
    // The first file is still open.
    QCOMPARE(listedNames(*m_window), (QStringList{"黃0", "黃2", "黃4"}));
    QVERIFY(QFile::remove(path));
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(path), image);
}

void TestOpenSave::secondFileReplacesEveryRecord()
{
    const QString first = writeData("first", patternedImage("劉"));
    open(first);
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window), (QStringList{"劉0", "劉2", "劉4"}));

    QByteArray other = blankImage();
    putRecord(other, 149, occupiedRecord(big5("孫"), big5("權")));
    const QString second = writeData("second", other);
    open(second);
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window), QStringList{"孫權"});

    // Saving writes the second file only, with none of the first's records.
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(second), other);
    QCOMPARE(readFile(first), patternedImage("劉"));

    // A blank file opens without a message and lists nothing.
    open(writeData("blank", blankImage()));
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window), QStringList());
}

// A cancelled dialog or a refused file leaves the file that is open fully
// open: its list stays, and the officers generated since are still saved.
void TestOpenSave::cancelAndFailureKeepTheOpenFile()
{
    const QByteArray image = patternedImage("張");
    const QString path = writeData("kept", image);
    open(path);
    setText(*m_window, "edit_fName", "張");
    setText(*m_window, "edit_gName", "苞");
    setText(*m_window, "edit_aName", "興國");
    click(*m_window, "cmd_generateSingle");
    const QStringList listed = {"張0", "張苞(興國)", "張2", "張4"};
    QCOMPARE(listedNames(*m_window), listed);

    open(QString()); // cancel
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window), listed);
    open(writeData("short", QByteArray(EditData::fileSize - 1, 'x')));
    expectMessage("critical", "錯誤", "文件大小非預期。");
    QCOMPARE(listedNames(*m_window), listed);
    open(writeData("long", QByteArray(3 * EditData::fileSize, 'x')));
    expectMessage("critical", "錯誤", "文件大小非預期。");
    QCOMPARE(m_driver->fileDialogsSeen(), 4);

    click(*m_window, "cmd_generateSingle");
    QCOMPARE(listedNames(*m_window).size(), 5);
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    const QList<QByteArray> saved = recordsOf(readFile(path));
    QCOMPARE(EditData::readName(saved.at(1), EditData::givenName, QTextCodec::codecForName("Big5")),
             QStringLiteral("苞"));
    QVERIFY(!EditData::isEmptySlot(saved.at(3)));
    // The portrait pools survived too: the two new officers got different
    // portraits.
    QVERIFY(EditData::readU16(saved.at(1), EditData::portrait)
            != EditData::readU16(saved.at(3), EditData::portrait));
}

void TestOpenSave::saveWritesTheFileBackExactly()
{
    const QByteArray image = patternedImage("關");
    const QString path = writeData("exact", image);
    open(path);
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(path), image);

    click(*m_window, "cmd_generateSingle");
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    const QByteArray once = readFile(path);
    QCOMPARE(once.size(), EditData::fileSize);
    QVERIFY(once != image);
    // Only slot 1 changed; both regions outside the record area are as read.
    const int slot1 = EditData::recordAreaOffset + EditData::recordSize;
    QCOMPARE(once.left(slot1), image.left(slot1));
    QCOMPARE(once.mid(slot1 + EditData::recordSize), image.mid(slot1 + EditData::recordSize));
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(path), once);
}

void TestOpenSave::saveRewritesDeletedAndShortenedFiles()
{
    const QByteArray image = patternedImage("趙");
    const QString path = writeData("gone", image);
    open(path);
    QVERIFY(QFile::remove(path));
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(path), image);

    // Another program's file is overwritten once the player agrees.
    QVERIFY(writeFile(path, QByteArray(100, 'z')));
    m_driver->planAnswer(QMessageBox::Yes);
    click(*m_window, "cmd_save");
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(path), image);
}

// Root ignores permission bits, so a folder takes the file's place.
void TestOpenSave::saveFailureIsReported()
{
    const QByteArray image = patternedImage("馬");
    const QString path = writeData("blocked", image);
    open(path);
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    click(*m_window, "cmd_save");
    // Below its own words the message gives the reason as the system says it.
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, QStringLiteral("critical"));
    QCOMPARE(messages.at(0).text, QStringLiteral("文件無法以可寫方式打開。"));
    QVERIFY2(!messages.at(0).detail.isEmpty(), qPrintable(messages.at(0).detail));
    QVERIFY(QFileInfo(path).isDir());

    // Once the way is clear, a later save goes through.
    QVERIFY(QDir().rmdir(path));
    click(*m_window, "cmd_save");
    expectMessage("information", "保存", "保存完成。");
    QCOMPARE(readFile(path), image);
}

QTEST_MAIN(TestOpenSave)
#include "tst_opensave.moc"
