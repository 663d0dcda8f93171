// The officer table window: sorting, filtering, following the records, the
// CSV file it exports and takes back, the batch edit of the selected rows
// and the columns shown.

#include "batcheditdialog.h"
#include "csvupdatedialog.h"
#include "datafolder.h"
#include "editdata.h"
#include "mainwindow.h"
#include "officerdialog.h"
#include "officertable.h"
#include "officertablewindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

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
    void initTestCase();
    void init();
    void cleanup();
    void sortingHoldsWhileTheTableFollows();
    void filterAndOpen();
    void exportWritesTheRowsShown();
    void failedExportKeepsTheOldFile();
    void updateFromCsv();
    void batchAddOnASelectedFamily();
    void columnChoiceSurvivesANewWindow();

private:
    QStringList column(int column) const;
    void clickHeader(int section);
    QByteArray exported(const QString &path);
    QList<QByteArray> records() const { return m_window->document()->records(); }
    QUndoStack *undoStack() const { return m_window->document()->undoStack(); }

    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
    OfficerTableWindow *m_table = nullptr;
    QTableView *m_view = nullptr;
};

void TestTable::initTestCase()
{
    // The player's own settings stay as they are. Windows keeps settings
    // only for a named organization, as the program names itself at start.
    useOwnDataFolder();
    QCoreApplication::setOrganizationName(QStringLiteral("officer-maker-tests"));
}

// Five officers, two of them with names a spreadsheet would misread, and the
// table open.
void TestTable::init()
{
    QSettings().clear();
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    QByteArray cao = occupiedRecord(big5("曹"), big5("操"), 1000, 1130);
    cao.replace(styleName, 4, big5("孟德"));
    cao.replace(abilities, 7, QByteArray("\x01\x02\x03\x04\x03\x02\x01", 7));
    writeU8(cao, skillsA, 9);
    writeU8(cao, skillsB + 9, 1);
    writeU8(cao, characterCode, 2);
    writeU16(cao, fatherId, noFather);
    QByteArray quan = occupiedRecord(big5("孫"), big5("權"), 50);
    writeU8(quan, gender, 1);
    writeU16(quan, fatherId, 900);
    QByteArray pi = occupiedRecord(big5("曹"), big5("丕"), 999);
    writeU16(pi, fatherId, 700);
    QByteArray quoted = occupiedRecord("", "-a,\"b\"", 500);
    writeU8(quoted, gender, 2);
    writeU16(quoted, fatherId, 702); // an empty slot
    QByteArray image = blankImage();
    putRecord(image, 0, cao);
    putRecord(image, 1, quan);
    putRecord(image, 3, pi);
    putRecord(image, 4, quoted);
    putRecord(image, 5, occupiedRecord("=1", "\r\n2"));
    const QString path = m_dir.path() + "/editdata.rqv";
    QVERIFY(writeFile(path, image));
    m_driver->planFileDialog(path);
    click(*m_window, "cmd_open");

    for (QAction *action : m_window->findChildren<QAction *>()) {
        if (action->shortcut() == QKeySequence(Qt::CTRL + Qt::Key_L)) {
            QCOMPARE(action->text(), QStringLiteral("武將一覽"));
            action->trigger();
        }
    }
    m_table = m_window->findChild<OfficerTableWindow *>();
    QVERIFY(m_table && QTest::qWaitForWindowExposed(m_table));
    m_view = m_table->findChild<QTableView *>("table_officers");
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
    const int middle = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(middle, header->height() / 2));
}

// Exports through the button, choosing path; returns what the file holds.
QByteArray TestTable::exported(const QString &path)
{
    m_driver->planFileDialog(path);
    QTest::mouseClick(m_table->findChild<QPushButton *>("cmd_export"), Qt::LeftButton);
    return readFile(path.endsWith(".csv") ? path : path + ".csv");
}

// Numbers sort by value, the second click reverses, and the order holds
// through a command and its undo.
void TestTable::sortingHoldsWhileTheTableFollows()
{
    QCOMPARE(column(0), (QStringList{"700", "701", "703", "704", "705"}));
    clickHeader(3);
    QCOMPARE(column(3), (QStringList{"50", "170", "500", "999", "1000"}));
    clickHeader(3);
    QCOMPARE(column(3), (QStringList{"1000", "999", "500", "170", "50"}));

    setText(*m_window, "edit_fName", "孫");
    setText(*m_window, "edit_gName", "堅");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(column(1).mid(3), (QStringList{"孫堅", "=1\r\n2", "孫權"}));
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(column(3), (QStringList{"1000", "999", "500", "170", "50"}));
}

// The filter keeps the rows whose name holds the text; a double click opens
// the officer of the row clicked, not of the row at that place unfiltered.
void TestTable::filterAndOpen()
{
    m_table->findChild<QLineEdit *>("edit_filter")->setText("曹");
    QCOMPARE(column(1), (QStringList{"曹操(孟德)", "曹丕"}));

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

// The rows in the order shown, in the exact bytes a spreadsheet reads; a
// name typed without .csv gets it, and a file of that name is replaced only
// when the player says so.
void TestTable::exportWritesTheRowsShown()
{
    clickHeader(3);
    const QString path = m_dir.path() + "/officers";
    // Every column, the hidden ones too: the names and the skill levels.
    const QString zeros = QStringLiteral(",0").repeated(20);
    const QByteArray csv =
            (QStringLiteral("\uFEFF編號,姓名,性別,生年,頭像,能力一,能力二,能力三,能力四,能力合計,"
                            "兵科一,兵科二,兵科三,特技合計,個性,父親,姓,名,字,"
                            "特技一1,特技一2,特技一3,特技一4,特技一5,特技一6,特技一7,特技一8,"
                            "特技一9,特技一10,特技二1,特技二2,特技二3,特技二4,特技二5,特技二6,"
                            "特技二7,特技二8,特技二9,特技二10\r\n")
             + "701,孫權,女,50,0,0,0,0,0,0,0,0,0,0,0,900,孫,權," + zeros + "\r\n"
             + "705,\"'=1\r\n2\",男,170,0,0,0,0,0,0,0,0,0,0,0,0,'=1,\"'\r\n2\"," + zeros + "\r\n"
             + "704,\"'-a,\"\"b\"\"\",2,500,0,0,0,0,0,0,0,0,0,0,0,702,,\"'-a,\"\"b\"\"\"," + zeros
             + "\r\n" + "703,曹丕,男,999,0,0,0,0,0,0,0,0,0,0,0,700 曹操,曹,丕," + zeros + "\r\n"
             + "700,曹操(孟德),男,1000,1130,1,2,3,4,10,3,2,1,10,2,無,曹,操,孟德,9"
             + QStringLiteral(",0").repeated(18) + ",1\r\n")
                    .toUtf8();
    QCOMPARE(exported(path), csv);
    QCOMPARE(m_driver->lastFileDialogFilters, QStringList{"CSV (*.csv)"});
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已匯出5名武將。"));

    m_table->findChild<QLineEdit *>("edit_filter")->setText("曹");
    QCOMPARE(exported(path), csv); // answered No
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    m_driver->planAnswer(QMessageBox::Yes);
    QCOMPARE(exported(path).count("\r\n"), 3);
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestTable::failedExportKeepsTheOldFile()
{
#ifdef Q_OS_UNIX
    // Root may write anywhere; a limit on the size of files written makes
    // the write fail halfway, as a full disk would.
    const QString path = m_dir.path() + "/old.csv";
    QVERIFY(writeFile(path, "old\r\n"));
    rlimit previous;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit limit = {64, previous.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const QByteArray after = exported(path);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    QCOMPARE(after, QByteArray("old\r\n"));
    QCOMPARE(QDir(m_dir.path()).entryList({"old.csv*"}, QDir::Files), QStringList{"old.csv"});
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind + messages.at(0).title, QStringLiteral("critical錯誤"));
    QCOMPARE(messages.at(0).text, QStringLiteral("無法寫入「%1」：%2")
                                          .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
#else
    QSKIP("needs a limit on the size of files");
#endif
}

// An unchanged export, a file that cannot be read and one without 編號
// change nothing; a bad cell holds the whole file back; mended, its changes
// are one step that undo in the table's window takes back byte for byte.
// Names in simplified Chinese that Big5 cannot write are listed and written
// in traditional characters, the changed names of a row converted whole.
void TestTable::updateFromCsv()
{
    const QList<QByteArray> before = records();
    const QString path = m_dir.filePath("edited.csv");
    exported(m_dir.filePath("all.csv"));
    QVERIFY(writeFile(path, "姓名,能力一\r\n曹操,9\r\n"));
    for (const char *file : {"all.csv", "missing.csv", "edited.csv"}) {
        m_driver->planFileDialog(m_dir.filePath(file));
        QTest::mouseClick(m_table->findChild<QPushButton *>("cmd_importCsv"), Qt::LeftButton);
    }
    QCOMPARE(m_driver->lastFileDialogCaption, QStringLiteral("選擇CSV文件"));
    QCOMPARE(m_driver->lastFileDialogFilters, QStringList{"CSV (*.csv *.txt)"});
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages.at(0).kind + messages.at(0).title + messages.at(0).text,
             QStringLiteral("information從CSV更新CSV文件與目前的武將相同，沒有需要更新的內容。"));
    QCOMPARE(messages.at(1).kind + messages.at(1).title, QStringLiteral("critical錯誤"));
    QCOMPARE(messages.at(2).kind + messages.at(2).title + messages.at(2).text,
             QStringLiteral("warning錯誤CSV文件缺少「編號」欄。"));
    QCOMPARE(records(), before);

    QStringList listed; // per dialog: whether OK may be pressed, then each change
    for (const char *row703 : {"703,,,,200,", "703,,,,,無"}) {
        QVERIFY(writeFile(path, "編號,姓,名,字,能力一,父親\r\n700,,德,,77,\r\n701,赵,云,子龙,,\r\n"
                                        + QByteArray(row703)));
        whenShown<CsvUpdateDialog>(this, [&listed](CsvUpdateDialog *dialog) {
            QPushButton *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
            const QTableWidget *table = dialog->findChild<QTableWidget *>();
            listed << (ok->isEnabled() ? "OK" : "-");
            for (int row = 0; row < table->rowCount(); ++row)
                listed << table->item(row, 2)->text() + '=' + table->item(row, 4)->text();
            ok->isEnabled() ? ok->click() : dialog->reject();
        });
        m_driver->planFileDialog(path);
        QTest::mouseClick(m_table->findChild<QPushButton *>("cmd_importCsv"), Qt::LeftButton);
    }
    const QStringList changes{"名=德", "能力一=77", "姓=趙", "名=雲", "字=子龍"};
    QCOMPARE(listed,
             QStringList("-") + changes + QStringList("OK") + changes + QStringList("父親=無"));
    QCOMPARE(undoStack()->count(), 1);
    QCOMPARE(undoStack()->text(0), QStringLiteral("從CSV更新"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已從CSV更新3名武將。"));
    QCOMPARE(records().at(0).mid(givenName, 3), big5("德") + '\0');
    QCOMPARE(readU8(records().at(0), abilities), quint8(77));
    QCOMPARE(records().at(1).mid(familyName, 3), big5("趙") + '\0');
    QCOMPARE(records().at(1).mid(givenName, 3), big5("雲") + '\0');
    QCOMPARE(records().at(1).mid(styleName, 5), big5("子龍") + '\0');
    QCOMPARE(readU16(records().at(3), fatherId2), quint16(noFather));
    activate(*m_table);
    QTest::keySequence(m_table, QKeySequence::Undo);
    QCOMPARE(records(), before);
}

// A family filtered and selected with Ctrl+A, in any order shown; 增減 holds
// each value at its field's end, and the family stays selected.
void TestTable::batchAddOnASelectedFamily()
{
    const QList<QByteArray> before = records();
    m_table->findChild<QLineEdit *>("edit_filter")->setText("曹");
    auto *batch = m_table->findChild<QPushButton *>("cmd_batchEdit");
    QVERIFY(!batch->isEnabled());
    clickHeader(3);
    QTest::keyClick(m_view, Qt::Key_A, Qt::ControlModifier);
    QStringList status;
    for (const bool checked : {true, false}) {
        whenShown<BatchEditDialog>(this, [checked](BatchEditDialog *dialog) {
            dialog->findChild<QComboBox *>("combo_mode")->setCurrentIndex(1);
            dialog->findChild<QCheckBox *>("chk_ability1")->setChecked(checked);
            dialog->findChild<QSpinBox *>("spin_ability1")->setValue(148);
            dialog->accept();
        });
        QTest::mouseClick(batch, Qt::LeftButton);
        status.append(m_window->statusBar()->currentMessage());
    }
    QCOMPARE(status, (QStringList{"已批量修改2名武將。", "沒有武將被修改。"}));
    QCOMPARE(undoStack()->count(), 1);
    QCOMPARE(undoStack()->text(0), QStringLiteral("批量修改"));
    QList<QByteArray> expected = before;
    writeU8(expected[0], abilities, 148); // 1 + 148
    writeU8(expected[3], abilities, 148);
    QCOMPARE(records(), expected);
    QCOMPARE(m_table->selectedSlots(), (QVector<int>{0, 3}));
}

// Columns shown and hidden through the header's menu stay so in a new window.
void TestTable::columnChoiceSurvivesANewWindow()
{
    const QStringList header = officerTableHeader();
    QStringList entries;
    for (const char *toggle : {"姓", "性別"}) {
        whenShown<QMenu>(this, [&entries, toggle](QMenu *menu) {
            entries.clear();
            for (QAction *action : menu->actions()) {
                entries.append(action->text() + (action->isChecked() ? "+" : ""));
                if (action->text() == toggle)
                    action->trigger();
            }
            menu->close();
        });
        QWidget *viewport = m_view->horizontalHeader()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                viewport->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(viewport, &event);
    }
    QCOMPARE(entries.size(), header.size() - 1);
    QCOMPARE(entries.mid(0, 2) + entries.mid(14, 3),
             (QStringList{"姓名+", "性別+", "父親+", "姓+", "名"}));

    OfficerTableWindow again(m_window->document());
    QStringList hidden;
    for (int column = 0; column < header.size(); ++column) {
        if (again.findChild<QTableView *>()->isColumnHidden(column))
            hidden.append(header.at(column));
    }
    QCOMPARE(hidden, QStringList("性別") + header.mid(TableColumn::GivenName));
}

QTEST_MAIN(TestTable)
#include "tst_table.moc"
