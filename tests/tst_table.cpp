// The officer table: its rows and their CSV text, and the window that sorts,
// filters, follows the records and exports them.

#include "editdata.h"
#include "mainwindow.h"
#include "officerdialog.h"
#include "officertable.h"
#include "officertablewindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#endif

using namespace EditData;

class TestTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void csvText();
    void sortingHoldsWhileTheTableFollows();
    void filterAndOpen();
    void exportWritesTheShownRows();
    void failedExportKeepsTheOldFile();

private:
    QStringList column(int column) const;
    void clickHeader(int section);
    QByteArray exported(const QString &path);

    QTemporaryDir m_dir;
    QList<QByteArray> m_records;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
    OfficerTableWindow *m_table = nullptr;
    QTableView *m_view = nullptr;
};

// 曹操 (born 1000), 孫權 (born 50) and 曹丕 (born 999, son of 曹操), with
// the table open.
void TestTable::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    QByteArray image = blankImage();
    putRecord(image, 0, occupiedRecord(big5("曹"), big5("操"), 1000));
    putRecord(image, 1, occupiedRecord(big5("孫"), big5("權"), 50));
    QByteArray pi = occupiedRecord(big5("曹"), big5("丕"), 999);
    writeU16(pi, fatherId, 700);
    putRecord(image, 3, pi);
    m_records = recordsOf(image);
    const QString path = m_dir.path() + "/editdata.rqv";
    QVERIFY(writeFile(path, image));
    m_driver->planFileDialog(path);
    click(*m_window, "cmd_open");

    QAction *open = nullptr;
    for (QAction *action : m_window->findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("武將一覽"))
            open = action;
    }
    QVERIFY(open);
    QCOMPARE(open->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_L));
    open->trigger();
    m_table = m_window->findChild<OfficerTableWindow *>();
    QVERIFY(m_table && m_table->isVisible());
    m_view = m_table->findChild<QTableView *>("table_officers");
    QVERIFY(QTest::qWaitForWindowExposed(m_table));
}

void TestTable::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

QStringList TestTable::column(int column) const
{
    QStringList values;
    for (int row = 0; row < m_view->model()->rowCount(); ++row)
        values.append(m_view->model()->index(row, column).data().toString());
    return values;
}

void TestTable::clickHeader(int section)
{
    QHeaderView *header = m_view->horizontalHeader();
    QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                   header->height() / 2));
}

// Exports through the button, choosing path; returns what was written.
QByteArray TestTable::exported(const QString &path)
{
    m_driver->planFileDialog(path);
    QTest::mouseClick(m_table->findChild<QPushButton *>("cmd_export"), Qt::LeftButton);
    return readFile(path.endsWith(".csv") ? path : path + ".csv");
}

void TestTable::csvText()
{
    QByteArray zhang = occupiedRecord(big5("張"), big5("飛"), 150, 1130);
    zhang.replace(styleName, 4, big5("翼德"));
    zhang.replace(abilities, 4, QByteArray("\x01\x02\x03\x04", 4));
    zhang.replace(aptitudes, 3, QByteArray("\x03\x02\x01", 3));
    writeU8(zhang, skillsA, 9);
    writeU8(zhang, skillsB + 9, 1);
    writeU8(zhang, characterCode, 2);
    writeU16(zhang, fatherId, noFather);
    QByteArray formula = occupiedRecord("=1", "+2");
    writeU8(formula, gender, 1);
    writeU16(formula, fatherId, 700);
    QByteArray quoted = occupiedRecord("", "-a,\"b\"");
    writeU8(quoted, gender, 2);
    writeU16(quoted, fatherId, 900);
    QByteArray lines = occupiedRecord("", "\r\n1");
    writeU16(lines, fatherId, 701); // an empty slot
    QList<QByteArray> records = recordsOf(blankImage());
    records[0] = zhang;
    records[2] = formula;
    records[3] = quoted;
    records[4] = lines;

    QList<QVariantList> rows;
    for (int slot : occupiedSlots(records))
        rows.append(officerTableRow(records, slot, QTextCodec::codecForName("Big5")));
    const QString expected =
            QStringLiteral("\uFEFF編號,姓名,性別,生年,頭像,能力一,能力二,能力三,能力四,能力合計,"
                           "兵科一,兵科二,兵科三,"
                           "特技合計,個性,父親\r\n"
                           "700,張飛(翼德),男,150,1130,1,2,3,4,10,3,2,1,10,2,無\r\n"
                           "702,'=1+2,女,170,0,0,0,0,0,0,0,0,0,0,0,700 張飛(翼德)\r\n"
                           "703,\"'-a,\"\"b\"\"\",2,170,0,0,0,0,0,0,0,0,0,0,0,900\r\n"
                           "704,\"'\r\n1\",男,170,0,0,0,0,0,0,0,0,0,0,0,701\r\n");
    QCOMPARE(officerTableCsv(rows), expected.toUtf8());
}

// Numbers sort by value, the second click reverses, and the order holds
// through a command and its undo.
void TestTable::sortingHoldsWhileTheTableFollows()
{
    QCOMPARE(column(1), (QStringList{"曹操", "孫權", "曹丕"}));
    clickHeader(3);
    QCOMPARE(column(3), (QStringList{"50", "999", "1000"}));
    clickHeader(3);
    QCOMPARE(column(3), (QStringList{"1000", "999", "50"}));

    setText(*m_window, "edit_fName", "孫");
    setText(*m_window, "edit_gName", "堅");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(column(1), (QStringList{"曹操", "曹丕", "孫堅", "孫權"}));
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(column(1), (QStringList{"曹操", "曹丕", "孫權"}));
    QCOMPARE(column(15), (QStringList{"0", "700 曹操", "0"}));
}

// The filter keeps the rows whose name holds the text; a double click opens
// the officer of the row clicked, not of the row at that place unfiltered.
void TestTable::filterAndOpen()
{
    m_table->findChild<QLineEdit *>("edit_filter")->setText("曹");
    QCOMPARE(column(1), (QStringList{"曹操", "曹丕"}));

    QString title;
    QTimer::singleShot(0, [&title] {
        if (auto *dialog = qobject_cast<OfficerDialog *>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    const QPoint row = m_view->visualRect(m_view->model()->index(1, 1)).center();
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, row);
    QCOMPARE(title, QStringLiteral("曹丕"));
}

// The rows shown, in the order shown; a name typed without .csv gets it, and
// a file of that name is replaced only when the player says so.
void TestTable::exportWritesTheShownRows()
{
    m_table->findChild<QLineEdit *>("edit_filter")->setText("曹");
    clickHeader(3);
    const QString path = m_dir.path() + "/officers";
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    const QByteArray csv = officerTableCsv(
            {officerTableRow(m_records, 3, codec), officerTableRow(m_records, 0, codec)});
    QCOMPARE(exported(path), csv);
    QCOMPARE(m_driver->lastFileDialogFilters, QStringList{"CSV (*.csv)"});
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已匯出2名武將。"));
    QVERIFY(m_driver->takeMessages().isEmpty());

    m_table->findChild<QLineEdit *>("edit_filter")->clear();
    QCOMPARE(exported(path), csv); // answered No
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    m_driver->planAnswer(QMessageBox::Yes);
    QCOMPARE(exported(path).count("\r\n"), 4);
}

void TestTable::failedExportKeepsTheOldFile()
{
#ifdef Q_OS_UNIX
    // Root may write anywhere; a limit on the size of files written makes
    // the write fail halfway, as a full disk would.
    const QString path = m_dir.path() + "/old.csv";
    const QByteArray old = "old\r\n";
    QVERIFY(writeFile(path, old));
    rlimit previous;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limit = previous;
    limit.rlim_cur = 64;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const QByteArray after = exported(path);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    QCOMPARE(after, old);
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, QStringLiteral("critical"));
    QCOMPARE(messages.at(0).title, QStringLiteral("錯誤"));
    QCOMPARE(messages.at(0).text, QStringLiteral("無法寫入「%1」：%2")
                                          .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    QCOMPARE(QDir(m_dir.path()).entryList({"old.csv*"}, QDir::Files), QStringList{"old.csv"});
#else
    QSKIP("needs a limit on file size");
#endif
}

QTEST_MAIN(TestTable)
#include "tst_table.moc"
