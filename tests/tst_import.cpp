// Importing officers from another data file, and the backup kept before the
// first save.

#include "datafolder.h"
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
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace EditData;

namespace {

QByteArray officer(const QString &name, quint8 sex, quint16 portraitNumber,
                   quint16 father = noFather)
{
    QByteArray record = occupiedRecord(big5(name.left(1)), big5(name.mid(1)), 170, portraitNumber);
    for (int i = styleName + 8; i < recordSize; i += 13)
        record[i] = char(i); // bytes the program does not name travel along
    writeU8(record, gender, sex);
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father);
    return record;
}

QByteArray with(QByteArray record, quint16 father, quint16 father2, quint16 portraitNumber)
{
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father2);
    writeU16(record, portrait, portraitNumber);
    return record;
}

// The open file: 曹操 (portrait 1130) in slot 0, 甄氏 (1180) in slot 2.
QList<QByteArray> ours()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[0] = officer("曹操", 0, 1130);
    records[2] = officer("甄氏", 1, 1180);
    return records;
}

// The other file: 孫堅 and his sons 孫策 and 孫權 (by the second field),
// 孫策's son 周瑜 with a historical portrait.
QList<QByteArray> theirs()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[5] = officer("孫堅", 0, 1130);
    records[7] = officer("孫策", 0, 1132, 705);
    records[8] = officer("周瑜", 0, 500, 707);
    records[9] = officer("孫權", 0, 1132);
    writeU16(records[9], fatherId2, 705);
    return records;
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void importedBytes();
    void importThatDoesNotFitChangesNothing();
    void importIsOneStep();
    void backup();

private:
    void startWith(const QByteArray &image);
    QByteArray saved();

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestImport::initTestCase()
{
    useOwnDataFolder();
}

void TestImport::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

// Fathers copied along are followed, others cut; generic portraits in use
// here, or taken by an earlier copy, give way to the lowest free ones.
void TestImport::importedBytes()
{
    QList<QByteArray> records = ours();
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    markUsedPortraits(records, male, female);
    QCOMPARE(importOfficers(records, male, female, theirs(), {9, 5, 7, 30}),
             (QVector<int>{1, 3, 4}));
    QCOMPARE(importOfficers(records, male, female, theirs(), {8}), QVector<int>{5});
    QCOMPARE(records.at(1), with(theirs().at(5), noFather, noFather, 1131));
    QCOMPARE(records.at(3), with(theirs().at(7), 701, 701, 1132));
    QCOMPARE(records.at(4), with(theirs().at(9), noFather, 701, 1133));
    QCOMPARE(records.at(5), with(theirs().at(8), noFather, noFather, 500));
    QVERIFY(male.value(1133) && !male.value(1134));
}

// Nothing changes, and the dialog warns and stays open until few enough are
// chosen.
void TestImport::importThatDoesNotFitChangesNothing()
{
    QList<QByteArray> records = ours();
    for (int slot = 3; slot < recordCount; ++slot)
        records[slot] = officer("張飛", 0, 1);
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    const QList<QByteArray> before = records;
    QVERIFY(!importOfficers(records, male, female, theirs(), {5, 7}));
    QVERIFY(records == before && !male.value(1130) && !male.value(1131));

    ImportDialog dialog(theirs(), 1);
    dialog.show();
    auto *list = dialog.findChild<QListWidget *>("list_officers");
    QCOMPARE(list->item(3)->text(), QStringLiteral("709 孫權"));
    QVERIFY(list->selectedItems().isEmpty());
    list->item(0)->setSelected(true);
    list->item(3)->setSelected(true);
    QStringList warnings;
    QTimer answering;
    connect(&answering, &QTimer::timeout, [&warnings] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            warnings << box->windowTitle() + box->text() + box->parent()->metaObject()->className();
            box->done(QMessageBox::Ok);
        }
    });
    answering.start(5);
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    ok->click();
    QVERIFY(dialog.isVisible());
    list->item(0)->setSelected(false);
    ok->click();
    QCOMPARE(warnings, QStringList{"錯誤指定的新武將數目超過上限。ImportDialog"});
    QVERIFY(!dialog.isVisible() && dialog.result() == QDialog::Accepted);
    QCOMPARE(dialog.chosenSlots(), QVector<int>{9});
}

// Through the menu, one step that undo and redo take back and give again.
void TestImport::importIsOneStep()
{
    QByteArray image = blankImage();
    putRecord(image, 0, ours().at(0));
    putRecord(image, 2, ours().at(2));
    startWith(image);
    QByteArray other = blankImage();
    for (const int slot : {5, 7, 8, 9})
        putRecord(other, slot, theirs().at(slot));
    QDir(m_dir.path()).mkdir("other");
    QVERIFY(writeFile(m_dir.path() + "/other/editdata.rqv", other));

    QTimer answering;
    connect(&answering, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<ImportDialog *>(QApplication::activeModalWidget())) {
            auto *list = dialog->findChild<QListWidget *>("list_officers");
            for (const int row : {0, 1, 3})
                list->item(row)->setSelected(true);
            dialog->accept();
        }
    });
    answering.start(5);
    m_driver->planFileDialog(m_dir.path() + "/other/editdata.rqv");
    QAction *import = m_window->menuBar()->actions().at(0)->menu()->actions().at(1);
    QCOMPARE(import->text(), QStringLiteral("匯入武將…"));
    import->trigger();
    QCOMPARE(m_driver->lastFileDialogCaption, QStringLiteral("選擇要匯入武將的數據文件"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已匯入3名武將。"));
    QCOMPARE(listedNames(*m_window), (QStringList{"曹操", "孫堅", "甄氏", "孫策", "孫權"}));
    const QByteArray after = saved();
    QCOMPARE(recordsOf(after).at(4), with(theirs().at(9), noFather, 701, 1133));
    triggerAction(*m_window, QKeySequence::Undo);
    QCOMPARE(saved(), image);
    triggerAction(*m_window, QKeySequence::Redo);
    QCOMPARE(saved(), after);
}

// A backup that cannot be written asks, and No saves nothing. The .bak then
// holds the file as it was before the first save after each open.
void TestImport::backup()
{
    startWith(blankImage());
    const QString bak = m_path + ".bak";
    QVERIFY(QDir().mkdir(bak));
    click(*m_window, "cmd_generateSingle");
    click(*m_window, "cmd_save");
    const auto questions = m_driver->takeQuestions();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.at(0).title, QStringLiteral("保存"));
    QVERIFY(questions.at(0).text.startsWith("無法建立備份文件「editdata.rqv.bak」："));
    QVERIFY(questions.at(0).text.endsWith("。仍然保存嗎？"));
    QCOMPARE(m_driver->lastQuestionDefault, QMessageBox::No);
    QVERIFY(m_driver->takeMessages().isEmpty() && readFile(m_path) == blankImage());

    QVERIFY(QDir().rmdir(bak) && writeFile(bak, "older"));
    const QByteArray first = saved();
    click(*m_window, "cmd_generateSingle");
    const QByteArray second = saved();
    QVERIFY(!first.isEmpty() && second != first);
    QCOMPARE(readFile(bak), blankImage());
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    saved();
    QCOMPARE(readFile(bak), second);
}

void TestImport::startWith(const QByteArray &image)
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    m_path = m_dir.path() + "/editdata.rqv";
    QFile::remove(m_path + ".bak");
    QVERIFY(writeFile(m_path, image));
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    setText(*m_window, "edit_gName", "甲");
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
