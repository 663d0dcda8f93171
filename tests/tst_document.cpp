// The open file as a document: every operation makes exactly one undo step,
// or none when it is refused or changes nothing, and every view follows the
// document whichever window made the change.

#include "datafolder.h"
#include "editdata.h"
#include "mainwindow.h"
#include "namepools.h"
#include "officerdocument.h"
#include "officertablewindow.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace EditData;
using Outcome = OfficerDocument::Outcome;

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneStepPerOperation();
    void viewsFollowChangesMadeElsewhere();
};

namespace {

// A file with a father born 150 and his namesake born 170, whose father is
// not yet linked.
QString writeSample(const QTemporaryDir &dir)
{
    QByteArray image = blankImage();
    putRecord(image, 0, occupiedRecord(big5("曹"), big5("操"), 150, 1130));
    putRecord(image, 1, occupiedRecord(big5("曹"), big5("丕"), 170, 1131));
    const QString path = dir.filePath("editdata.rqv");
    writeFile(path, image);
    return path;
}

} // namespace

void TestDocument::initTestCase()
{
    useOwnDataFolder();
}

void TestDocument::oneStepPerOperation()
{
    QTemporaryDir dir;
    OfficerDocument document;
    Names::NamePools pools;
    Generate::BatchRequest batch;
    QCOMPARE(document.generateSingle("關", "羽", QString(), false, {}), Outcome::NoFile);
    QCOMPARE(document.generateBatch(batch, {}, pools), Outcome::NoFile);
    QCOMPARE(document.assignFathers(), Outcome::NoFile);

    QCOMPARE(document.open(writeSample(dir)), ReadError::None);
    QSignalSpy changes(&document, &OfficerDocument::recordsChanged);
    QUndoStack *stack = document.undoStack();
    QCOMPARE(document.generateSingle("ア", "羽", QString(), false, {}), Outcome::Unencodable);
    QCOMPARE(document.generateSingle("關", QString(30, QChar(0x7FBD)), QString(), false, {}),
             Outcome::TooLong);
    QCOMPARE(document.generateBatch(batch, {}, pools), Outcome::Unchanged);
    batch.men = 1;
    QCOMPARE(document.generateBatch(batch, {}, pools), Outcome::EmptyPools);
    batch.families = 2;
    QCOMPARE(document.generateBatch(batch, {}, pools), Outcome::TooFewMen);
    QVERIFY(!document.editOfficer(0, document.records().at(0)));
    QVERIFY(!document.removeOfficers({5}));
    QCOMPARE(document.importOfficers(document.records(), {5}), QVector<int>());
    QCOMPARE(stack->count(), 0);
    QCOMPARE(changes.count(), 0);

    pools.familyNames = QStringList{"張"};
    pools.boyNames = QStringList{"飛"};
    pools.girlNames = QStringList{"氏"};
    batch.men = 2;
    batch.women = 1;
    batch.families = 0;
    QByteArray edited = document.records().at(0);
    writeU16(edited, birthYear, 151);
    const QList<QByteArray> source = document.records();
    const QList<QPair<QString, std::function<bool()>>> operations = {
            {"同姓武將匹配父子關係",
             [&] {
                 return document.assignFathers() == Outcome::Changed
                        && document.assignFathers() == Outcome::Unchanged;
             }},
            {"生成單個",
             [&] {
                 return document.generateSingle("關", "羽", "雲長", false, {}) == Outcome::Changed;
             }},
            {"隨機生成",
             [&] { return document.generateBatch(batch, {}, pools) == Outcome::Changed; }},
            {"編輯武將", [&] { return document.editOfficer(0, edited); }},
            {"刪除武將", [&] { return document.removeOfficers({2}); }},
            {"匯入武將",
             [&] {
                 return document.importOfficers(source, {0, 1}).has_value();
             }},
    };
    for (const auto &[name, operation] : operations) {
        const int count = stack->count();
        const QList<QByteArray> before = document.records();
        changes.clear();
        QVERIFY2(operation(), qPrintable(name));
        QCOMPARE(stack->count(), count + 1);
        QCOMPARE(stack->text(stack->index() - 1), name);
        QCOMPARE(changes.count(), 1);
        const QList<QByteArray> after = document.records();
        stack->undo();
        QCOMPARE(document.records(), before);
        stack->redo();
        QCOMPARE(document.records(), after);
    }
}

// The table window follows the records although only the main window acts;
// hidden, it catches up when it is shown again.
void TestDocument::viewsFollowChangesMadeElsewhere()
{
    QTemporaryDir dir;
    copyBundledPools(dir.path());
    DialogDriver driver;
    const auto window = startWindowIn(dir.path());
    driver.planFileDialog(writeSample(dir));
    click(*window, "cmd_open");
    activate(*window);
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    auto *table = window->findChild<OfficerTableWindow *>();
    QVERIFY(table);
    const QAbstractItemModel *rows = table->findChild<QTableView *>("table_officers")->model();
    table->hide();
    setText(*window, "num_male", "3");
    click(*window, "cmd_generateAll");
    table->show();
    QCOMPARE(rows->rowCount(), 5);
    activate(*window);
    triggerAction(*window, QKeySequence::Undo);
    QCOMPARE(rows->rowCount(), 2);
    QVERIFY(driver.takeMessages().isEmpty());
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
