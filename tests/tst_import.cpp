// Importing officers from another data file, and the backup kept before the
// first save.

#include "datafile.h"
#include "editdata.h"
#include "importdialog.h"
#include "importofficers.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace EditData;

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void copiedBytes();
    void importThatDoesNotFitChangesNothing();
    void importThroughTheWindow();
    void backupBeforeTheFirstSave();
    void backupThatCannotBeWrittenAsks();

private:
    void startWith(const QByteArray &image);
    QAction *action(const QString &text);
    QTimer *onModal(const std::function<bool(QWidget *)> &answer);
    void importFrom(const QString &path, const QVector<int> &rows, bool ok = true);
    QByteArray saved();

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

namespace {

QByteArray officer(const QString &family, const QString &given, quint8 sex, quint16 portraitNumber,
                   quint16 father = noFather)
{
    QByteArray record = occupiedRecord(big5(family), big5(given), 170, portraitNumber);
    // Bytes the game keeps but the program does not name travel along.
    for (int i = styleName + 8; i < recordSize; i += 13)
        record[i] = char(i);
    writeU8(record, gender, sex);
    writeU16(record, portrait, portraitNumber);
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father);
    return record;
}

// The record with its father fields and portrait set to the given values.
QByteArray with(QByteArray record, quint16 father, quint16 father2, quint16 portraitNumber)
{
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father2);
    writeU16(record, portrait, portraitNumber);
    return record;
}

struct Pools
{
    PortraitPool male, female, allMale, allFemale;
    explicit Pools(const QList<QByteArray> &records)
    {
        buildPortraitPools(male, female, allMale, allFemale);
        markUsedPortraits(records, male, female);
    }
};

// The open file's officers: 曹操 (portrait 1130) in slot 0 and 甄氏 (1180)
// in slot 2; slot 1 is free.
QList<QByteArray> openRecords()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[0] = officer("曹", "操", 0, 1130);
    records[2] = officer("甄", "氏", 1, 1180);
    return records;
}

// The other file: 孫堅 (slot 5) and his sons 孫策 (slot 7) and 孫權
// (slot 9, father by the second field only), 周瑜 (slot 8), son of 孫策,
// and 孫尚香 (slot 11, father 0).
QList<QByteArray> otherRecords()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[5] = officer("孫", "堅", 0, 1130);
    records[7] = officer("孫", "策", 0, 1132, 705);
    records[8] = officer("周", "瑜", 0, 500, 707);
    records[9] = officer("孫", "權", 0, 1132);
    writeU16(records[9], fatherId2, 705);
    records[11] = officer("孫", "尚香", 1, 1180, 0);
    return records;
}

} // namespace

void TestImport::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

// The copies in the lowest empty slots, fathers followed or cut, clashing
// generic portraits replaced lowest first, every other byte the source's.
void TestImport::copiedBytes()
{
    QList<QByteArray> records = openRecords();
    Pools pools(records);
    const QList<QByteArray> source = otherRecords();
    // 孫策 without his father, with 周瑜 whose father he is, and a woman.
    const auto withoutFather =
            importOfficers(records, pools.male, pools.female, source, {11, 8, 7, 30});
    QCOMPARE(withoutFather, std::make_optional(QVector<int>{1, 3, 4}));
    QCOMPARE(records.at(1), with(source.at(7), noFather, noFather, 1132));
    QCOMPARE(records.at(3), with(source.at(8), 701, 701, 500));
    QCOMPARE(records.at(4), with(source.at(11), noFather, noFather, 1181));

    // The family together: 孫堅's 1130 is taken, so he gets the lowest free
    // one, 1131; 孫策 keeps his 1132, and 孫權, who has it too, gets 1133.
    records = openRecords();
    Pools fresh(records);
    const auto family = importOfficers(records, fresh.male, fresh.female, source, {9, 5, 7});
    QCOMPARE(family, std::make_optional(QVector<int>{1, 3, 4}));
    QCOMPARE(records.at(1), with(source.at(5), noFather, noFather, 1131));
    QCOMPARE(records.at(3), with(source.at(7), 701, 701, 1132));
    QCOMPARE(records.at(4), with(source.at(9), noFather, 701, 1133));
    QVERIFY(fresh.male.value(1133) && !fresh.male.value(1134));
    QCOMPARE(records.at(0), openRecords().at(0));

    // A sex byte that is neither man nor woman keeps its portrait; so does
    // anyone once the generic portraits of the sex are all taken.
    QList<QByteArray> odd = recordsOf(blankImage());
    odd[0] = officer("奇", "人", 2, 1130);
    odd[1] = officer("孫", "尚香", 1, 1180);
    records = openRecords();
    Pools full(records);
    QVERIFY(importOfficers(records, full.male, full.female, odd, {0}));
    QCOMPARE(readU16(records.at(1), portrait), quint16(1130));
    for (auto it = full.female.begin(); it != full.female.end(); ++it)
        it.value() = true;
    QVERIFY(importOfficers(records, full.male, full.female, odd, {1}));
    QCOMPARE(readU16(records.at(3), portrait), quint16(1180));

    // From the open records themselves.
    records = openRecords();
    Pools self(records);
    QVERIFY(importOfficers(records, self.male, self.female, records, {0}));
    QCOMPARE(records.at(1), with(openRecords().at(0), noFather, noFather, 1131));
}

// Too many officers change nothing; the dialog says so and stays open.
void TestImport::importThatDoesNotFitChangesNothing()
{
    QList<QByteArray> records = openRecords();
    for (int slot = 3; slot < recordCount; ++slot)
        records[slot] = officer("張", QString::number(slot), 0, 1);
    const QList<QByteArray> before = records;
    Pools pools(records);
    const PortraitPool maleBefore = pools.male;
    const PortraitPool femaleBefore = pools.female;
    QVERIFY(!importOfficers(records, pools.male, pools.female, otherRecords(), {5, 7}));
    QCOMPARE(records, before);
    QCOMPARE(pools.male, maleBefore);
    QCOMPARE(pools.female, femaleBefore);

    ImportDialog dialog(otherRecords(), 1);
    dialog.show();
    auto *list = dialog.findChild<QListWidget *>("list_officers");
    QVERIFY(list);
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->text();
    QCOMPARE(rows, (QStringList{"705 孫堅", "707 孫策", "708 周瑜", "709 孫權", "711 孫尚香"}));
    QVERIFY(list->selectedItems().isEmpty());

    list->item(0)->setSelected(true);
    list->item(3)->setSelected(true);
    QStringList warnings;
    std::unique_ptr<QTimer> answering(onModal([&warnings](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return false;
        warnings << box->windowTitle() + "|" + box->text() + "|"
                            + box->parentWidget()->metaObject()->className();
        box->done(QMessageBox::Ok);
        return false; // every warning is answered
    }));
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    ok->click();
    QCOMPARE(warnings, QStringList{"錯誤|指定的新武將數目超過上限。|ImportDialog"});
    QVERIFY(dialog.isVisible());

    list->item(0)->setSelected(false);
    ok->click();
    QCOMPARE(warnings.size(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenSlots(), QVector<int>{9});
}

// Through the menu: a refused file and a cancelled choice change nothing; an
// import is one step that undo and redo take back and give again.
void TestImport::importThroughTheWindow()
{
    QByteArray image = blankImage();
    const QList<QByteArray> open = openRecords();
    putRecord(image, 0, open.at(0));
    putRecord(image, 2, open.at(2));
    startWith(image);
    QByteArray other = blankImage();
    const QList<QByteArray> source = otherRecords();
    for (const int slot : {5, 7, 8, 9, 11})
        putRecord(other, slot, source.at(slot));
    QDir(m_dir.path()).mkdir("other");
    const QString otherPath = m_dir.path() + "/other/editdata.rqv";
    QVERIFY(writeFile(otherPath, other));
    const QString shortPath = m_dir.path() + "/short.rqv";
    QVERIFY(writeFile(shortPath, QByteArray(100, 'x')));

    importFrom(shortPath, {});
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).text, QStringLiteral("文件大小非預期。"));
    QCOMPARE(m_driver->lastFileDialogCaption, QStringLiteral("選擇要匯入武將的數據文件"));
    QCOMPARE(m_driver->lastFileDialogFilters, QStringList{"editdata.rqv"});
    importFrom(otherPath, {0, 1, 3}, false);
    importFrom(otherPath, {});
    QVERIFY(!m_window->isWindowModified());

    importFrom(otherPath, {0, 1, 3});
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已匯入3名武將。"));
    QCOMPARE(listedNames(*m_window), (QStringList{"曹操", "孫堅", "甄氏", "孫策", "孫權"}));
    const QByteArray after = saved();
    QCOMPARE(recordsOf(after).at(4), with(source.at(9), noFather, 701, 1133));

    QVERIFY(action("撤銷 匯入武將"));
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(saved(), image);
    triggerAction(*m_window, QKeySequence::Redo);
    QCOMPARE(saved(), after);
    // The pools follow: the next man takes the portrait after the copies'.
    setChecked(*m_window, "radio_genderM");
    setText(*m_window, "edit_fName", "李");
    setText(*m_window, "edit_gName", "典");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(readU16(recordsOf(saved()).at(5), portrait), quint16(1134));
}

// The .bak holds the file as it was before the first save after each open.
void TestImport::backupBeforeTheFirstSave()
{
    const QByteArray image = blankImage();
    startWith(image);
    const QString bak = m_path + ".bak";
    QVERIFY(writeFile(bak, "older"));
    click(*m_window, "cmd_generateSingle");
    const QByteArray first = saved();
    QCOMPARE(readFile(bak), image);
    click(*m_window, "cmd_generateSingle");
    const QByteArray second = saved();
    QVERIFY(second != first);
    QCOMPARE(readFile(bak), image);

    // Opened again, the next save keeps the file as it then was.
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    saved();
    QCOMPARE(readFile(bak), second);
}

// A backup that cannot be written asks first: No saves nothing, Yes saves,
// and no backup is tried after the file has been written.
void TestImport::backupThatCannotBeWrittenAsks()
{
    const QByteArray image = blankImage();
    startWith(image);
    const QString bak = m_path + ".bak";
    QVERIFY(QDir().mkdir(bak));
    click(*m_window, "cmd_generateSingle");
    click(*m_window, "cmd_save");
    const auto questions = m_driver->takeQuestions();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.at(0).title, QStringLiteral("保存"));
    QVERIFY2(questions.at(0).text.startsWith("無法建立備份文件「editdata.rqv.bak」：")
                     && questions.at(0).text.endsWith("。仍然保存嗎？"),
             qPrintable(questions.at(0).text));
    QCOMPARE(m_driver->lastQuestionButtons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(readFile(m_path), image);
    QVERIFY(m_window->isWindowModified());

    m_driver->planAnswer(QMessageBox::Yes);
    QVERIFY(saved() != image);
    QCOMPARE(m_driver->takeQuestions().size(), 1);
    QVERIFY(QDir().rmdir(bak));
    click(*m_window, "cmd_generateSingle");
    saved();
    QVERIFY(m_driver->takeQuestions().isEmpty());
    QVERIFY(!QFile::exists(bak));
}

void TestImport::startWith(const QByteArray &image)
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    m_path = m_dir.path() + "/editdata.rqv";
    QFile::remove(m_path + ".bak");
    QVERIFY(writeFile(m_path, image));
    QVERIFY(!action("匯入武將…")->isEnabled());
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    QVERIFY(m_driver->takeMessages().isEmpty());
    QVERIFY(action("匯入武將…")->isEnabled());
    setText(*m_window, "edit_fName", "甲");
    setText(*m_window, "edit_gName", "乙");
}

QAction *TestImport::action(const QString &text)
{
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *entry : menu->menu()->actions()) {
            if (entry->text() == text)
                return entry;
        }
    }
    return nullptr;
}

// Hands the modal widget to answer until it takes one; the caller owns the
// timer that watches.
QTimer *TestImport::onModal(const std::function<bool(QWidget *)> &answer)
{
    auto *timer = new QTimer;
    connect(timer, &QTimer::timeout, timer, [timer, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && answer(modal))
            timer->stop();
    });
    timer->start(5);
    return timer;
}

// Imports the officers of the given rows of the import dialog from the file
// at path; with ok false the dialog is cancelled instead.
void TestImport::importFrom(const QString &path, const QVector<int> &rows, bool ok)
{
    m_driver->planFileDialog(path);
    bool shown = false;
    std::unique_ptr<QTimer> answering(onModal([&shown, rows, ok](QWidget *modal) {
        auto *dialog = qobject_cast<ImportDialog *>(modal);
        if (!dialog)
            return false;
        shown = true;
        auto *list = dialog->findChild<QListWidget *>("list_officers");
        for (const int row : rows)
            list->item(row)->setSelected(true);
        if (ok)
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
        return true;
    }));
    action("匯入武將…")->trigger();
    // A refused file shows no dialog.
    QCOMPARE(shown, QFileInfo(path).size() == fileSize);
}

QByteArray TestImport::saved()
{
    click(*m_window, "cmd_save");
    const auto messages = m_driver->takeMessages();
    return messages.size() == 1 && messages.at(0).text == QStringLiteral("保存完成。")
                   ? readFile(m_path)
                   : QByteArray();
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
