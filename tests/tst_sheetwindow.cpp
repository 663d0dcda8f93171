// The officer table as a spreadsheet, through its window: a CSV file brought
// back, a batch edit of the selected rows, and the columns the player shows.

#include "batcheditdialog.h"
#include "csvupdatedialog.h"
#include "editdata.h"
#include "mainwindow.h"
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
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <functional>

using namespace EditData;

class TestSheetWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void unchangedOrRefusedFileChangesNothing();
    void csvEditsApplyAsOneStep();
    void batchAddOnASelectedFamily();
    void columnChoiceSurvivesANewWindow();

private:
    // Hands the next window of type W that opens to answer.
    template<typename W>
    void whenShown(std::function<void(W *)> answer);
    void press(const char *button) const;
    QString exportCsv();
    QList<QByteArray> records() const { return m_window->document()->records(); }
    QUndoStack *undo() const { return m_window->document()->undoStack(); }

    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
    OfficerTableWindow *m_table = nullptr;
};

void TestSheetWindow::initTestCase()
{
    // The player's own settings stay as they are.
    QStandardPaths::setTestModeEnabled(true);
}

// Thirty officers in three families, and the table open.
void TestSheetWindow::init()
{
    QSettings().clear();
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    const QString path = m_dir.filePath("editdata.rqv");
    QVERIFY(writeFile(path, blankImage()));
    m_driver->planFileDialog(path);
    click(*m_window, "cmd_open");
    setChecked(*m_window, "chk_family");
    setText(*m_window, "num_jiazu", "3");
    setText(*m_window, "num_male", "20");
    setText(*m_window, "num_female", "10");
    click(*m_window, "cmd_generateAll");
    for (QAction *action : m_window->findChildren<QAction *>()) {
        if (action->shortcut() == QKeySequence(Qt::CTRL + Qt::Key_L))
            action->trigger();
    }
    m_table = m_window->findChild<OfficerTableWindow *>();
    QVERIFY(m_table && QTest::qWaitForWindowExposed(m_table));
}

void TestSheetWindow::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

template<typename W>
void TestSheetWindow::whenShown(std::function<void(W *)> answer)
{
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget *shown = QApplication::activePopupWidget();
        if (auto *window = qobject_cast<W *>(shown ? shown : QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(window);
        }
    });
    timer->start(5);
}

void TestSheetWindow::press(const char *button) const
{
    QTest::mouseClick(m_table->findChild<QPushButton *>(button), Qt::LeftButton);
}

QString TestSheetWindow::exportCsv()
{
    const QString path = m_dir.filePath("officers.csv");
    m_driver->planFileDialog(path);
    press("cmd_export");
    return path;
}

void TestSheetWindow::unchangedOrRefusedFileChangesNothing()
{
    const QList<QByteArray> before = records();
    const QString files[] = {exportCsv(), m_dir.filePath("missing.csv"),
                             m_dir.filePath("noid.csv")};
    QVERIFY(writeFile(files[2], "姓名,能力一\r\n張飛,90\r\n"));
    for (const QString &file : files) {
        m_driver->planFileDialog(file);
        press("cmd_importCsv");
    }
    QCOMPARE(m_driver->lastFileDialogCaption, QStringLiteral("選擇CSV文件"));
    QCOMPARE(m_driver->lastFileDialogFilters, QStringList{"CSV (*.csv *.txt)"});
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages.at(0).kind + messages.at(0).title + messages.at(0).text,
             QStringLiteral("information從CSV更新CSV文件與目前的武將相同，沒有需要更新的內容。"));
    QCOMPARE(messages.at(1).kind + messages.at(1).title, QStringLiteral("critical錯誤"));
    QVERIFY(messages.at(1).text.contains("missing.csv"));
    QCOMPARE(messages.at(2).kind + messages.at(2).title + messages.at(2).text,
             QStringLiteral("warning錯誤CSV文件缺少「編號」欄。"));
    QCOMPARE(records(), before);
    QCOMPARE(undo()->count(), 1);
}

// A bad cell holds the whole file back; mended, its changes are one step
// that undo takes back byte for byte.
void TestSheetWindow::csvEditsApplyAsOneStep()
{
    const QList<QByteArray> before = records();
    const QString path = exportCsv();
    QStringList lines = QString::fromUtf8(readFile(path)).split("\r\n");
    auto setCell = [&lines](int row, int column, const QString &value) {
        QStringList fields = lines[row].split(',');
        fields[column] = value;
        lines[row] = fields.join(',');
    };
    setCell(1, TableColumn::GivenName, "羽");
    setCell(1, TableColumn::Ability1, "77");
    setCell(2, TableColumn::StyleName, "子龍");
    setCell(3, TableColumn::Ability1 + 1, "149");

    QVector<QPair<int, bool>> shown; // changes listed, and whether OK may be pressed
    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(writeFile(path, lines.join("\r\n").toUtf8()));
        whenShown<CsvUpdateDialog>([&shown](CsvUpdateDialog *dialog) {
            QPushButton *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
            shown.append({dialog->findChild<QTableWidget *>()->rowCount(), ok->isEnabled()});
            ok->isEnabled() ? ok->click() : dialog->reject();
        });
        m_driver->planFileDialog(path);
        press("cmd_importCsv");
        setCell(3, TableColumn::Ability1 + 1, "");
    }
    QCOMPARE(shown, (QVector<QPair<int, bool>>{{3, false}, {3, true}}));
    QCOMPARE(undo()->count(), 2);
    QCOMPARE(undo()->text(1), QStringLiteral("從CSV更新"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已從CSV更新2名武將。"));
    QCOMPARE(readU8(records().at(0), abilities), quint8(77));
    QCOMPARE(records().at(0).mid(givenName, 3), big5("羽") + '\0');
    undo()->undo();
    QCOMPARE(records(), before);
}

// 增減 holds each value at its field's end; the family stays selected, and
// undo restores every officer.
void TestSheetWindow::batchAddOnASelectedFamily()
{
    const QList<QByteArray> before = records();
    auto familyOf = [&before](int slot) {
        return fromBig5(before.at(slot).mid(familyName, familyNameMaxBytes))
                .section(QChar(0), 0, 0);
    };
    QVector<int> members;
    for (int slot = 0; slot < 30; ++slot) {
        if (familyOf(slot) == familyOf(0))
            members.append(slot);
    }
    auto *view = m_table->findChild<QTableView *>();
    m_table->findChild<QLineEdit *>()->setText(familyOf(0));
    QVERIFY(!m_table->findChild<QPushButton *>("cmd_batchEdit")->isEnabled());
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_table->selectedSlots(), members);

    for (const bool checked : {true, false}) {
        whenShown<BatchEditDialog>([checked](BatchEditDialog *dialog) {
            dialog->findChild<QComboBox *>("combo_mode")->setCurrentIndex(1);
            dialog->findChild<QCheckBox *>("chk_ability1")->setChecked(checked);
            dialog->findChild<QSpinBox *>("spin_ability1")->setValue(100);
            dialog->accept();
        });
        press("cmd_batchEdit");
    }
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("沒有武將被修改。"));
    QCOMPARE(undo()->count(), 2);
    QCOMPARE(undo()->text(1), QStringLiteral("批量修改"));
    bool held = false;
    for (int slot = 0; slot < 150; ++slot) {
        QByteArray expected = before.at(slot);
        const int sum = readU8(expected, abilities) + 100;
        if (members.contains(slot)) {
            writeU8(expected, abilities, quint8(qMin(sum, 148)));
            held |= sum > 148;
        }
        QCOMPARE(records().at(slot), expected);
    }
    QVERIFY(held);
    QCOMPARE(m_table->selectedSlots(), members);
    undo()->undo();
    QCOMPARE(records(), before);
}

void TestSheetWindow::columnChoiceSurvivesANewWindow()
{
    const QStringList header = officerTableHeader();
    auto hiddenColumns = [&header](OfficerTableWindow &window) {
        QStringList hidden;
        for (int column = 0; column < header.size(); ++column) {
            if (window.findChild<QTableView *>()->isColumnHidden(column))
                hidden.append(header.at(column));
        }
        return hidden;
    };
    QCOMPARE(hiddenColumns(*m_table), header.mid(TableColumn::FirstHidden));

    QStringList entries;
    for (const char *toggle : {"姓", "性別"}) {
        whenShown<QMenu>([&entries, toggle](QMenu *menu) {
            entries.clear();
            for (QAction *action : menu->actions()) {
                entries.append(action->text() + (action->isChecked() ? "+" : ""));
                if (action->text() == toggle)
                    action->trigger();
            }
            menu->close();
        });
        QWidget *headerView = m_table->findChild<QTableView *>()->horizontalHeader()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                headerView->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(headerView, &event);
    }
    QCOMPARE(entries.size(), header.size() - 1);
    QCOMPARE(entries.mid(0, 2) + entries.mid(14, 3),
             (QStringList{"姓名+", "性別+", "父親+", "姓+", "名"}));

    OfficerTableWindow again(m_window->document());
    QStringList expected = header.mid(TableColumn::GivenName);
    expected.prepend("性別");
    QCOMPARE(hiddenColumns(again), expected);
}

QTEST_MAIN(TestSheetWindow)
#include "tst_sheetwindow.moc"
