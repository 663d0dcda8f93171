// Two files side by side: more windows, and officers copied, pasted and
// dragged between them.

#include "datafolder.h"
#include "importofficers.h"
#include "mainwindow.h"
#include "officercode.h"
#include "program.h"
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

namespace {

QListView *list(MainWindow &window)
{
    return window.findChild<QListView *>("nameListView");
}

void press(MainWindow &window, QWidget *widget, QKeySequence::StandardKey key)
{
    activate(window);
    widget->setFocus();
    QTest::keySequence(widget, QKeySequence(key));
}

QString status(MainWindow &window)
{
    return window.statusBar()->currentMessage();
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void copyAndDragIntoAnotherWindow();
    void refusedPastesChangeNothing();
    void closingAndQuitting();

private:
    MainWindow *newWindow(MainWindow &from);
    void open(MainWindow &window, const QString &name, const QByteArray &image);

    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_first;
    QByteArray m_theirs; // 孫堅 (700), his son 孫策 (703), 周瑜
    QByteArray m_ours; // 曹操, whose portrait 孫堅 has too
};

void TestWindows::initTestCase()
{
    useOwnDataFolder();
}

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
    for (MainWindow *window : testProgram().windows()) {
        if (window != m_first.get())
            delete window;
    }
    m_first.reset();
    m_driver.reset();
}

// Selected rows pressed and moved leave as a drag that lands in another
// window as a paste; a window with no file takes none. The copy keys act on
// the list, not in a text field. The new window shares the pools loaded from
// the first one's folder: it draws names and reports none missing.
void TestWindows::copyAndDragIntoAnotherWindow()
{
    open(*m_first, "theirs.rqv", m_theirs);
    MainWindow *second = newWindow(*m_first);
    QListView *from = list(*m_first);
    from->selectAll();
    const QPoint at = from->visualRect(from->model()->index(2, 0)).center();
    QTest::mousePress(from->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, at + QPoint(0, 30), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(from->viewport(), &move);
    QTest::mouseRelease(from->viewport(), Qt::LeftButton, {}, at + QPoint(0, 30));
    auto *drag = m_first->findChild<QDrag *>();
    QVERIFY(drag);
    QMimeData carried; // the drag is gone once it is over
    for (const QString &format : drag->mimeData()->formats())
        carried.setData(format, drag->mimeData()->data(format));
    auto dropOn = [&carried](MainWindow &window) {
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &carried, Qt::LeftButton, {});
        QApplication::sendEvent(list(window)->viewport(), &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &carried, Qt::LeftButton, {});
        QApplication::sendEvent(list(window)->viewport(), &drop);
        QTest::qWait(20);
        return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    };
    QVERIFY(!dropOn(*second));
    open(*second, "ours.rqv", m_ours);

    from->selectionModel()->select(from->model()->index(2, 0), QItemSelectionModel::Deselect);
    press(*m_first, from, QKeySequence::Copy);
    QCOMPARE(status(*m_first), QStringLiteral("已複製2名武將。"));
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied->hasFormat(officersMimeType));
    QCOMPARE(copied->text(),
             officerText(recordsOf(m_theirs), {0, 3}, QTextCodec::codecForName("Big5")));
    auto *field = second->findChild<QLineEdit *>("edit_fName");
    press(*second, field, QKeySequence::Paste);
    QVERIFY(!second->isWindowModified() && field->text().contains("OFFICERS1:"));
    press(*second, list(*second), QKeySequence::Paste);
    QCOMPARE(status(*second), QStringLiteral("已貼上2名武將。"));
    QCOMPARE(second->document()->undoStack()->undoText(), QStringLiteral("貼上武將"));
    QList<QByteArray> imported = recordsOf(m_ours);
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    importOfficers(imported, male, female, recordsOf(m_theirs), {0, 3});
    QCOMPARE(second->document()->records(), imported);

    QVERIFY(dropOn(*second));
    QCOMPARE(listedNames(*second), (QStringList{"曹操", "孫堅", "孫策", "孫堅", "孫策", "周瑜"}));
    QCOMPARE(status(*second), QStringLiteral("已貼上3名武將。"));
    QCOMPARE(second->document()->undoStack()->count(), 2);
    setText(*second, "num_male", "1");
    click(*second, "cmd_generateAll");
    QCOMPARE(listedNames(*second).size(), 7);
    QVERIFY(m_driver->takeMessages().isEmpty());
}

// Too many officers, a damaged code, no code: nothing changes. The
// program's own bytes count before the text.
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
    QCOMPARE(status(*m_first), QStringLiteral("剪貼簿中沒有武將。"));
    QVERIFY(paste(officerBytes(recordsOf(m_theirs), {4}), code.chopped(3)));
    QCOMPARE(listedNames(*m_first).last(), QStringLiteral("周瑜"));
}

// Each window asks about its own changes, an unchanged one not at all; 退出
// asks the active window first, then the others in the order they were
// opened, and 取消 stops it there.
void TestWindows::closingAndQuitting()
{
    QPointer<MainWindow> second = newWindow(*m_first);
    QPointer<MainWindow> third = newWindow(*second);
    QPointer<MainWindow> unchanged = newWindow(*third);
    const QStringList names{"a.rqv", "b.rqv", "c.rqv"};
    for (MainWindow *window : {m_first.get(), second.data(), third.data()}) {
        open(*window, names.at(testProgram().windows().indexOf(window)), m_ours);
        setText(*window, "edit_gName", "甲");
        click(*window, "cmd_generateSingle");
    }
    // From the event loop, as a press of the menu entry runs.
    auto quitFrom = [this](MainWindow *window, QList<QMessageBox::StandardButton> answers) {
        for (const auto answer : answers)
            m_driver->planAnswer(answer);
        for (QAction *action : window->findChildren<QAction *>()) {
            if (action->text() == QStringLiteral("退出"))
                QTimer::singleShot(0, action, &QAction::trigger);
        }
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
    QVERIFY(!m_first->isVisible() && !second && !unchanged);
}

MainWindow *TestWindows::newWindow(MainWindow &from)
{
    triggerAction(from, QKeySequence::New);
    MainWindow *window = testProgram().windows().last();
    return window != &from && window->isVisible() ? window : nullptr;
}

void TestWindows::open(MainWindow &window, const QString &name, const QByteArray &image)
{
    const QString path = m_dir.filePath(name);
    QVERIFY(writeFile(path, image));
    m_driver->planFileDialog(path);
    click(window, "cmd_open");
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
