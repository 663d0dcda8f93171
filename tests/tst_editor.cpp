// The editor around the commands: undo and redo, the guard against unsaved
// changes, the title, the menus and the language of Qt's own dialogs.

#include "datafolder.h"
#include "editdata.h"
#include "mainwindow.h"
#include "program.h"
#include "startup.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace EditData;

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void undoAndRedoEachCommand_data();
    void undoAndRedoEachCommand();
    void stepsOnlyForChanges();
    void titleFollowsTheSavedState();
    void guard_data();
    void guard();
    void failedSaveInTheGuardKeepsTheWindow();
    void menus();
    void genderStaysChecked();
    void qtDialogsSpeakChinese();

private:
    QByteArray saved();
    void press(const QKeySequence &keys);

    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_image;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestEditor::initTestCase()
{
    useOwnDataFolder();
}

void TestEditor::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_path = m_dir.path() + "/editdata.rqv";
    m_image = blankImage();
    for (int i = 0; i < recordAreaOffset; i += 7)
        m_image[i] = char(i);
    // Two namesakes of whom the younger has no father yet, and a generic
    // portrait in use.
    putRecord(m_image, 1, occupiedRecord(big5("曹"), big5("操"), 150, 1130));
    putRecord(m_image, 3, occupiedRecord(big5("曹"), big5("丕"), 170));
    QVERIFY(writeFile(m_path, m_image));
    setText(*m_window, "edit_gName", "甲");
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestEditor::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

// Saves and returns the file as written.
QByteArray TestEditor::saved()
{
    click(*m_window, "cmd_save");
    const auto messages = m_driver->takeMessages();
    if (messages.size() != 1 || messages.at(0).text != QStringLiteral("保存完成。"))
        return {};
    return readFile(m_path);
}

void TestEditor::press(const QKeySequence &keys)
{
    activate(*m_window);
    QTest::keySequence(m_window.get(), keys);
}

void TestEditor::undoAndRedoEachCommand_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("single") << "cmd_generateSingle";
    QTest::newRow("batch") << "cmd_generateAll";
    QTest::newRow("fathers") << "cmd_assignFather";
}

// Undo gives back every byte and the portrait flags, redo the state after
// the command; the next officer then takes the portrait the undone one had.
void TestEditor::undoAndRedoEachCommand()
{
    QFETCH(QString, button);
    setText(*m_window, "num_male", "2");
    setText(*m_window, "num_female", "1");
    setChecked(*m_window, "chk_family");
    setText(*m_window, "num_jiazu", "1");
    setChecked(*m_window, "radio_genderM");
    click(*m_window, qPrintable(button));
    const QStringList listedAfter = listedNames(*m_window);
    const QByteArray after = saved();
    QVERIFY(after != m_image);

    press(QKeySequence::Undo);
    QCOMPARE(listedNames(*m_window), (QStringList{"曹操", "曹丕"}));
    QCOMPARE(saved(), m_image);
    press(QKeySequence::Redo);
    QCOMPARE(listedNames(*m_window), listedAfter);
    QCOMPARE(saved(), after);

    // Undone again, generation draws anew but hands out the same portrait:
    // the lowest free one once more.
    press(QKeySequence::Undo);
    setChecked(*m_window, "radio_genderM");
    click(*m_window, "cmd_generateSingle");
    const QList<QByteArray> again = recordsOf(saved());
    QCOMPARE(readU16(again.at(0), portrait), quint16(1131));
    if (button != "cmd_assignFather")
        QVERIFY(again.at(0) != recordsOf(after).at(0));
}

// A refused command and a father assignment that changes nothing leave no
// step; an undo to the saved state needs no saving.
void TestEditor::stepsOnlyForChanges()
{
    QAction *undo = nullptr;
    for (QAction *action : m_window->findChildren<QAction *>()) {
        if (action->shortcut() == QKeySequence(QKeySequence::Undo))
            undo = action;
    }
    QVERIFY(undo);
    setText(*m_window, "num_male", "149");
    click(*m_window, "cmd_generateAll");
    QCOMPARE(m_driver->takeMessages().size(), 1);
    QVERIFY(!undo->isEnabled());

    click(*m_window, "cmd_assignFather");
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("撤銷 同姓武將匹配父子關係"));
    QVERIFY(!saved().isEmpty());
    click(*m_window, "cmd_assignFather"); // the only candidate again: no change
    QVERIFY(!m_window->isWindowModified());
    undo->trigger();
    QVERIFY(m_window->isWindowModified());
    press(QKeySequence::Redo);
    QVERIFY(!m_window->isWindowModified());
    QVERIFY(m_window->close());
    QVERIFY(m_driver->takeQuestions().isEmpty());
}

void TestEditor::titleFollowsTheSavedState()
{
    MainWindow fresh(testProgram());
    QCOMPARE(fresh.windowTitle(), QStringLiteral("龍旗戰記新武將作成器"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("editdata.rqv[*] - 龍旗戰記新武將作成器"));
    QVERIFY(!m_window->isWindowModified());
    click(*m_window, "cmd_generateSingle");
    QVERIFY(m_window->isWindowModified());
}

void TestEditor::guard_data()
{
    QTest::addColumn<bool>("closing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("written");
    for (bool closing : {true, false}) {
        const char *what = closing ? "close, " : "open, ";
        QTest::newRow(QByteArray(what).append("save"))
                << closing << int(QMessageBox::Save) << true << true;
        QTest::newRow(QByteArray(what).append("discard"))
                << closing << int(QMessageBox::Discard) << true << false;
        QTest::newRow(QByteArray(what).append("cancel"))
                << closing << int(QMessageBox::Cancel) << false << false;
        QTest::newRow(QByteArray(what).append("escape"))
                << closing << int(QMessageBox::Escape) << false << false;
    }
}

void TestEditor::guard()
{
    QFETCH(bool, closing);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, written);

    // Nothing unsaved: nothing asked.
    m_driver->planFileDialog(QString());
    click(*m_window, "cmd_open");
    QCOMPARE(m_driver->fileDialogsSeen(), 2);
    QVERIFY(m_driver->takeQuestions().isEmpty());

    click(*m_window, "cmd_generateSingle");
    m_driver->planAnswer(QMessageBox::StandardButton(answer));
    m_driver->planFileDialog(QString());
    const bool closed = closing ? m_window->close() : false;
    if (!closing)
        click(*m_window, "cmd_open");

    const auto questions = m_driver->takeQuestions();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.at(0).title, QStringLiteral("未保存的修改"));
    QCOMPARE(questions.at(0).text, QStringLiteral("「editdata.rqv」有未保存的修改，是否先保存？"));
    QCOMPARE(m_driver->lastQuestionButtons,
             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::Save);
    QCOMPARE(m_driver->takeMessages().size(), written ? 1 : 0);
    QCOMPARE(readFile(m_path) != m_image, written);
    if (closing)
        QCOMPARE(closed, goesOn);
    else
        QCOMPARE(m_driver->fileDialogsSeen(), goesOn ? 3 : 2);
    QCOMPARE(m_window->isWindowModified(), !written);
    QCOMPARE(listedNames(*m_window).size(), 3);
}

// With the file's place taken by a folder the save fails, and the window
// stays open with its work.
void TestEditor::failedSaveInTheGuardKeepsTheWindow()
{
    click(*m_window, "cmd_generateSingle");
    QVERIFY(QFile::remove(m_path));
    QVERIFY(QDir().mkdir(m_path));
    m_driver->planAnswer(QMessageBox::Save);
    QVERIFY(!m_window->close());
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).text, QStringLiteral("文件無法以可寫方式打開。"));
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->isWindowModified());
    QVERIFY(QDir().rmdir(m_path));
}

// The menu entries run the buttons' commands, through their shortcuts too.
void TestEditor::menus()
{
    click(*m_window, "cmd_generateSingle");
    press(QKeySequence::Save);
    QCOMPARE(m_driver->takeMessages().size(), 1);
    QVERIFY(!m_window->isWindowModified());
    m_driver->planFileDialog(QString());
    press(QKeySequence::Open);
    QCOMPARE(m_driver->fileDialogsSeen(), 2);
    click(*m_window, "cmd_generateSingle");
    m_driver->planAnswer(QMessageBox::Cancel);
    for (QAction *action : m_window->menuBar()->actions().at(0)->menu()->actions()) {
        if (action->text() == QStringLiteral("退出"))
            action->trigger();
    }
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    QVERIFY(m_window->isVisible());
}

void TestEditor::genderStaysChecked()
{
    auto *male = m_window->findChild<QRadioButton *>("radio_genderM");
    QTest::mouseClick(male, Qt::LeftButton, {}, QPoint(4, male->height() / 2));
    QTest::mouseClick(male, Qt::LeftButton, {}, QPoint(4, male->height() / 2));
    QVERIFY(male->isChecked());
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(readU8(recordsOf(saved()).at(0), gender), quint8(0));
}

void TestEditor::qtDialogsSpeakChinese()
{
    QVERIFY(installQtTranslation(*qApp));
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Save | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Save)->text(), QStringLiteral("儲存"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
