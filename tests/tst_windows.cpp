// Two files side by side: more windows, and officers copied, pasted and
// dragged between them.

#include "editdata.h"
#include "importofficers.h"
#include "mainwindow.h"
#include "officercode.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QUndoStack>

using namespace EditData;

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void copyAndPasteIntoAnotherWindow();
    void refusedPastesChangeNothing();
    void dragIntoAnotherWindow();
    void closingAndQuitting();

private:
    MainWindow *newWindow(MainWindow &from);
    void open(MainWindow &window, const QString &name, const QByteArray &image);
    void select(MainWindow &window, const QStringList &names);
    static QListView *list(MainWindow &window);
    static void press(MainWindow &window, QWidget *widget, QKeySequence::StandardKey key);

    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_first;
    QByteArray m_theirs; // 孫堅 (700), his son 孫策, 周瑜
    QByteArray m_ours; // 曹操, whose portrait 孫堅 has too
};

void TestWindows::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_first = startWindowIn(m_dir.path());
    m_theirs = blankImage();
    putRecord(m_theirs, 0, occupiedRecord(big5("孫"), big5("堅"), 150, 1130));
    QByteArray son = occupiedRecord(big5("孫"), big5("策"), 170, 1131);
    writeU16(son, fatherId, 700);
    putRecord(m_theirs, 3, son);
    putRecord(m_theirs, 4, occupiedRecord(big5("周"), big5("瑜"), 170, 1132));
    m_ours = blankImage();
    putRecord(m_ours, 0, occupiedRecord(big5("曹"), big5("操"), 150, 1130));
}

void TestWindows::cleanup()
{
    for (MainWindow *window : MainWindow::windows()) {
        if (window != m_first.get())
            delete window;
    }
    m_first.reset();
    m_driver.reset();
}

// The new window shares the pools, loaded from the first window's folder:
// nothing is reported missing, and it draws names. The son's father follows
// him, and the portrait in use gives way, as an import does.
void TestWindows::copyAndPasteIntoAnotherWindow()
{
    open(*m_first, "theirs.rqv", m_theirs);
    MainWindow *second = newWindow(*m_first);
    QCOMPARE(second->windowTitle(), QStringLiteral("龍旗戰記新武將作成器"));
    open(*second, "ours.rqv", m_ours);
    select(*m_first, {"孫堅", "孫策"});
    press(*m_first, list(*m_first), QKeySequence::Copy);
    QCOMPARE(m_first->statusBar()->currentMessage(), QStringLiteral("已複製2名武將。"));
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied->hasFormat(officersMimeType));
    QCOMPARE(copied->text(),
             officerText(recordsOf(m_theirs), {0, 3}, QTextCodec::codecForName("Big5")));

    // In a text field the keys paste text.
    auto *field = second->findChild<QLineEdit *>("edit_fName");
    press(*second, field, QKeySequence::Paste);
    QVERIFY(!second->isWindowModified() && field->text().contains("OFFICERS1:"));
    press(*second, list(*second), QKeySequence::Paste);
    QCOMPARE(second->statusBar()->currentMessage(), QStringLiteral("已貼上2名武將。"));
    QCOMPARE(second->document()->undoStack()->undoText(), QStringLiteral("貼上武將"));

    QList<QByteArray> imported = recordsOf(m_ours);
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    importOfficers(imported, male, female, recordsOf(m_theirs), {0, 3});
    QCOMPARE(second->document()->records(), imported);
    QCOMPARE(readU16(imported.at(2), fatherId), quint16(701));
    QCOMPARE(listedNames(*second), (QStringList{"曹操", "孫堅", "孫策"}));

    setText(*second, "num_male", "1");
    click(*second, "cmd_generateAll");
    QCOMPARE(listedNames(*second).size(), 4);
    QVERIFY(m_driver->takeMessages().isEmpty());
}

// Too many officers, a damaged code, a clipboard without officers: nothing
// changes. The program's own bytes count before the text.
void TestWindows::refusedPastesChangeNothing()
{
    QByteArray full = m_ours;
    for (int slot = 1; slot < recordCount - 1; ++slot)
        putRecord(full, slot, occupiedRecord(big5("張"), big5("飛")));
    open(*m_first, "full.rqv", full);
    const QByteArray two = officerBytes(recordsOf(m_theirs), {0, 3});
    const QString code = officerCode(two);
    auto paste = [this](const QByteArray &bytes, const QString &text) {
        auto *data = new QMimeData;
        if (!bytes.isEmpty())
            data->setData(officersMimeType, bytes);
        data->setText(text);
        QGuiApplication::clipboard()->setMimeData(data);
        press(*m_first, list(*m_first), QKeySequence::Paste);
        return m_first->isWindowModified();
    };
    QVERIFY(!paste(two, QString()));
    QVERIFY(!paste(QByteArray(), "看我的武將：" + code.chopped(3)));
    QVERIFY(!paste(two.chopped(1), code));
    QStringList warnings;
    for (const auto &message : m_driver->takeMessages())
        warnings << message.kind + message.title + message.text;
    QCOMPARE(warnings, (QStringList{"warning錯誤指定的新武將數目超過上限。",
                                    "warning錯誤武將碼已損壞。", "warning錯誤武將碼已損壞。"}));
    QVERIFY(!paste(QByteArray(), "705 孫堅"));
    QCOMPARE(m_first->statusBar()->currentMessage(), QStringLiteral("剪貼簿中沒有武將。"));

    QVERIFY(paste(officerBytes(recordsOf(m_theirs), {4}), code.chopped(3)));
    QCOMPARE(listedNames(*m_first).last(), QStringLiteral("周瑜"));
}

// Rows dragged out of one window's list land in another's as a paste; a
// window with no file open takes none.
void TestWindows::dragIntoAnotherWindow()
{
    open(*m_first, "theirs.rqv", m_theirs);
    MainWindow *second = newWindow(*m_first);
    select(*m_first, {"孫堅", "周瑜"});
    QWidget *from = list(*m_first)->viewport();
    const QPoint at = list(*m_first)->visualRect(list(*m_first)->model()->index(2, 0)).center();
    QTest::mousePress(from, Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, at + QPoint(0, 30), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(from, &move);
    QTest::mouseRelease(from, Qt::LeftButton, {}, at + QPoint(0, 30));
    auto *drag = m_first->findChild<QDrag *>();
    QVERIFY(drag);
    QMimeData carried; // the drag is gone once it is over
    for (const QString &format : drag->mimeData()->formats())
        carried.setData(format, drag->mimeData()->data(format));
    QCOMPARE(listedNames(*m_first).size(), 3);
    QCOMPARE(list(*m_first)->selectionModel()->selectedIndexes().size(), 2);

    auto dropOn = [&carried](MainWindow &window) {
        QWidget *to = list(window)->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &carried, Qt::LeftButton, {});
        QApplication::sendEvent(to, &enter);
        QDropEvent drop(QPoint(5, 5), Qt::CopyAction, &carried, Qt::LeftButton, {});
        QApplication::sendEvent(to, &drop);
        QTest::qWait(20);
        return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    };
    QVERIFY(!dropOn(*second));
    open(*second, "ours.rqv", m_ours);
    QVERIFY(dropOn(*second));
    QCOMPARE(listedNames(*second), (QStringList{"曹操", "孫堅", "周瑜"}));
    QCOMPARE(second->statusBar()->currentMessage(), QStringLiteral("已貼上2名武將。"));
    QCOMPARE(second->document()->undoStack()->count(), 1);
}

// Each window asks about its own changes; 退出 asks the active window first,
// then the others in the order they were opened, and 取消 stops it there.
void TestWindows::closingAndQuitting()
{
    open(*m_first, "a.rqv", m_ours);
    QPointer<MainWindow> second = newWindow(*m_first);
    open(*second, "b.rqv", m_ours);
    QPointer<MainWindow> third = newWindow(*second);
    open(*third, "c.rqv", m_ours);
    QPointer<MainWindow> closed = newWindow(*third);
    for (MainWindow *window : {m_first.get(), second.data(), third.data()}) {
        setText(*window, "edit_gName", "甲");
        click(*window, "cmd_generateSingle");
    }
    QVERIFY(closed->close());
    QTest::qWait(10);
    QVERIFY(!closed && m_first->isVisible());
    QCOMPARE(MainWindow::windows().size(), 3);

    // From the event loop, as a press of the menu entry runs.
    auto quitFrom = [this](MainWindow *window, QList<QMessageBox::StandardButton> answers) {
        for (const auto answer : answers)
            m_driver->planAnswer(answer);
        QAction *quit = nullptr;
        for (QAction *action : window->findChildren<QAction *>()) {
            if (action->text() == QStringLiteral("退出"))
                quit = action;
        }
        QTimer::singleShot(0, quit, &QAction::trigger);
        QTest::qWait(50);
        QStringList asked;
        for (const auto &question : m_driver->takeQuestions())
            asked << question.text.mid(1, 5);
        return asked;
    };
    QCOMPARE(quitFrom(third, {QMessageBox::Discard, QMessageBox::Cancel}),
             (QStringList{"c.rqv", "a.rqv"}));
    QVERIFY(!third && m_first->isVisible() && second->isVisible());
    QCOMPARE(quitFrom(m_first.get(), {QMessageBox::Discard, QMessageBox::Discard}),
             (QStringList{"a.rqv", "b.rqv"}));
    QVERIFY(!m_first->isVisible() && !second);
}

MainWindow *TestWindows::newWindow(MainWindow &from)
{
    triggerAction(from, QKeySequence::New);
    MainWindow *window = MainWindow::windows().last();
    return window != &from && window->isVisible() ? window : nullptr;
}

void TestWindows::open(MainWindow &window, const QString &name, const QByteArray &image)
{
    const QString path = m_dir.filePath(name);
    QVERIFY(writeFile(path, image));
    m_driver->planFileDialog(path);
    click(window, "cmd_open");
}

void TestWindows::select(MainWindow &window, const QStringList &names)
{
    const QStringList rows = listedNames(window);
    for (const QString &name : names)
        list(window)->selectionModel()->select(list(window)->model()->index(rows.indexOf(name), 0),
                                               QItemSelectionModel::Select);
}

QListView *TestWindows::list(MainWindow &window)
{
    return window.findChild<QListView *>("nameListView");
}

void TestWindows::press(MainWindow &window, QWidget *widget, QKeySequence::StandardKey key)
{
    activate(window);
    widget->setFocus();
    QTest::keySequence(widget, QKeySequence(key));
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
