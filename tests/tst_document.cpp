// The open file as a document: every operation makes exactly one undo step,
// or none when it is refused or changes nothing, each step does its work in
// redo() and undo() and tells what changed, and every view follows the
// document whichever window made the change.

#include "batchedit.h"
#include "csvupdate.h"
#include "datafolder.h"
#include "editdata.h"
#include "filecheck.h"
#include "mainwindow.h"
#include "namepools.h"
#include "officercode.h"
#include "officerdocument.h"
#include "officermodel.h"
#include "officertable.h"
#include "officertablewindow.h"
#include "recordscommand.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QUndoStack>

using namespace EditData;
using Outcome = OfficerDocument::Outcome;
using Result = OfficerDocument::Result;

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneStepPerOperation();
    void portraitFlagsThroughEveryStep();
    void stepAppliedTwice();
    void modelSignalsOnlyTheRowsChanged();
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

Names::NamePools somePools()
{
    Names::NamePools pools;
    pools.familyNames = QStringList{"張"};
    pools.boyNames = QStringList{"飛"};
    pools.girlNames = QStringList{"氏"};
    return pools;
}

// The state with the portrait flags that its records give.
EditState derived(const EditState &state)
{
    return editStateOf(state.records);
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
    QCOMPARE(document.generateSingle("關", "羽", QString(), false, {}).outcome, Outcome::NoFile);
    QCOMPARE(document.generateBatch(batch, {}, pools).outcome, Outcome::NoFile);
    QCOMPARE(document.assignFathers().outcome, Outcome::NoFile);

    QCOMPARE(document.open(writeSample(dir)).outcome, Outcome::Done);
    QSignalSpy changes(&document, &OfficerDocument::changed);
    QUndoStack *stack = document.undoStack();
    QCOMPARE(document.generateSingle("ア", "羽", QString(), false, {}).outcome,
             Outcome::Unencodable);
    QCOMPARE(
            document.generateSingle("關", QString(30, QChar(0x7FBD)), QString(), false, {}).outcome,
            Outcome::TooLong);
    QCOMPARE(document.generateBatch(batch, {}, pools).outcome, Outcome::Unchanged);
    batch.men = 1;
    QCOMPARE(document.generateBatch(batch, {}, pools).outcome, Outcome::EmptyPools);
    batch.families = 2;
    QCOMPARE(document.generateBatch(batch, {}, pools).outcome, Outcome::TooFewMen);
    QCOMPARE(document.editOfficer(0, document.records().at(0)).outcome, Outcome::Unchanged);
    QCOMPARE(document.removeOfficers({5}).outcome, Outcome::Unchanged);
    QCOMPARE(document.importOfficers(document.records(), {5}).outcome, Outcome::Unchanged);
    QCOMPARE(stack->count(), 0);
    QCOMPARE(changes.count(), 0);

    pools = somePools();
    batch.men = 2;
    batch.women = 1;
    batch.families = 0;
    QByteArray edited = document.records().at(0);
    writeU16(edited, birthYear, 151);
    const QList<QByteArray> source = document.records();
    const QList<QPair<QString, std::function<bool()>>> operations = {
            {"同姓武將匹配父子關係",
             [&] {
                 return document.assignFathers().changed()
                        && document.assignFathers().outcome == Outcome::Unchanged;
             }},
            {"生成單個",
             [&] { return document.generateSingle("關", "羽", "雲長", false, {}).changed(); }},
            {"隨機生成", [&] { return document.generateBatch(batch, {}, pools).changed(); }},
            {"編輯武將", [&] { return document.editOfficer(0, edited).changed(); }},
            {"刪除武將", [&] { return document.removeOfficers({2}).changed(); }},
            {"匯入武將",
             [&] {
                 return document.importOfficers(source, {0, 1}).count == 2;
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
        const auto change = changes.at(0).at(0).value<RecordsChange>();
        const QList<QByteArray> after = document.records();
        QCOMPARE(change.changedSlots, changedSlots(before, after));
        stack->undo();
        QCOMPARE(document.records(), before);
        stack->redo();
        QCOMPARE(document.records(), after);
        QCOMPARE(changes.count(), 3);
    }
}

// After every command the portrait flags are what the core's command leaves,
// undo gives back those before and redo those after. They are what the
// records give (EditData::rebuildPortraitPools), but for an officer made with
// neither family nor given name, who leaves his slot empty and his portrait
// taken: then the step keeps the flags, until a command that gives portraits
// back rebuilds them.
void TestDocument::portraitFlagsThroughEveryStep()
{
    QTemporaryDir dir;
    OfficerDocument document;
    QCOMPARE(document.open(writeSample(dir)).outcome, Outcome::Done);
    const Names::NamePools pools = somePools();
    QTextCodec *big5Codec = QTextCodec::codecForName("Big5");
    QByteArray newFace = document.records().at(1);
    writeU16(newFace, portrait, 1140);
    BatchEdit older;
    older.birthYear = {true, 160};
    const QList<QByteArray> source = document.records();
    QByteArray mismatched = source.at(0);
    writeU16(mismatched, fatherId2, 0x1234);

    struct Step
    {
        const char *name;
        // The core's command on a copy, for the flags it leaves.
        std::function<Result(EditState &)> command;
        std::function<Result()> operation;
        bool flagsFromRecords;
    };
    const std::function<Result(EditState &)> noCommand;
    const QList<Step> steps = {
            {"single",
             [](EditState &s) {
                 return Commands::generateSingle(s, {"關", "羽", ""}, false, {}, {});
             },
             [&] { return document.generateSingle("關", "羽", "", false, {}); }, true},
            {"batch",
             [&](EditState &s) {
                 return Commands::generateBatch(s, {3, 2, 1}, {}, pools);
             },
             [&] {
                 return document.generateBatch({3, 2, 1}, {}, pools);
             },
             true},
            {"fathers", [](EditState &s) { return Commands::assignFathers(s); },
             [&] { return document.assignFathers(); }, true},
            {"edit", noCommand, [&] { return document.editOfficer(1, newFace); }, true},
            {"import", noCommand,
             [&] {
                 return document.importOfficers(source, {0, 1});
             },
             true},
            {"paste", noCommand,
             [&] { return document.pasteOfficers(officersFromBytes(officerBytes(source, {0}))); },
             true},
            {"csv", noCommand,
             [&] {
                 return document.updateFromCsv(
                         planCsvUpdate(document.records(), "編號,頭像\r\n702,1141\r\n", big5Codec));
             },
             true},
            {"batch edit", noCommand,
             [&] {
                 return document.batchEdit({0, 1}, older);
             },
             true},
            {"remove", noCommand, [&] { return document.removeOfficers({3}); }, true},
            {"nameless", noCommand, [&] { return document.generateSingle("", "", "字", true, {}); },
             false},
            {"edit after", noCommand, [&] { return document.editOfficer(0, mismatched); }, false},
            {"repair", noCommand,
             [&] { return document.repairProblems(checkRecords(document.records(), big5Codec)); },
             true},
    };
    for (const Step &step : steps) {
        const EditState before = document.state();
        EditState byCore = before;
        if (step.command)
            step.command(byCore);
        QVERIFY2(step.operation().changed(), step.name);
        const EditState after = document.state();
        if (step.command)
            QVERIFY2(after.malePortraits == byCore.malePortraits
                             && after.femalePortraits == byCore.femalePortraits,
                     step.name);
        QVERIFY2((derived(after) == after) == step.flagsFromRecords, step.name);
        document.undoStack()->undo();
        QVERIFY2(document.state() == before, step.name);
        document.undoStack()->redo();
        QVERIFY2(document.state() == after, step.name);
    }
}

// A step is applied, not toggled: redone twice it leaves the state after it,
// undone twice the state before, bytes and portrait flags alike.
void TestDocument::stepAppliedTwice()
{
    QTemporaryDir dir;
    OfficerDocument document;
    QCOMPARE(document.open(writeSample(dir)).outcome, Outcome::Done);
    const EditState opened = document.state();
    QVERIFY(document.generateBatch({2, 1, 0}, {}, somePools()).changed());
    const EditState batched = document.state();
    // The nameless officer's portrait is a flag that the step keeps.
    QVERIFY(document.generateSingle("", "", "", true, {}).changed());
    const EditState nameless = document.state();
    const struct
    {
        int index;
        EditState before;
        EditState after;
    } steps[] = {{1, batched, nameless}, {0, opened, batched}};
    for (const auto &step : steps) {
        auto *command = const_cast<QUndoCommand *>(document.undoStack()->command(step.index));
        command->redo();
        command->redo();
        QVERIFY(document.state() == step.after);
        command->undo();
        command->undo();
        QVERIFY(document.state() == step.before);
    }
}

// A change in one slot signals that row alone; a new name, the rows that
// name him as father too; another file resets the model.
void TestDocument::modelSignalsOnlyTheRowsChanged()
{
    QTemporaryDir dir;
    OfficerDocument document;
    OfficerModel *model = document.officerModel();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QCOMPARE(document.open(writeSample(dir)).outcome, Outcome::Done);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model->rowCount(), recordCount);
    QVERIFY(document.assignFathers().changed());
    QCOMPARE(model->index(1, TableColumn::Father).data().toString(), QStringLiteral("700 曹操"));

    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    // Each signalled row, once for each signal; -1 for a signal that does
    // not span whole rows.
    const auto rowsSignalled = [&] {
        QList<int> rows;
        for (const QList<QVariant> &signal : qAsConst(changed)) {
            const auto from = signal.at(0).value<QModelIndex>();
            const auto to = signal.at(1).value<QModelIndex>();
            if (from.column() != 0 || to.column() != TableColumn::Count - 1)
                rows.append(-1);
            for (int row = from.row(); row <= to.row(); ++row)
                rows.append(row);
        }
        changed.clear();
        return rows;
    };
    QByteArray older = document.records().at(0);
    writeU16(older, birthYear, 140);
    QVERIFY(document.editOfficer(0, older).changed());
    QCOMPARE(rowsSignalled(), QList<int>{0});
    QCOMPARE(model->index(0, TableColumn::BirthYear).data(), QVariant(140));
    document.undoStack()->undo();
    QCOMPARE(rowsSignalled(), QList<int>{0});
    QCOMPARE(model->index(0, TableColumn::BirthYear).data(), QVariant(150));

    QByteArray renamed = document.records().at(0);
    renamed.replace(givenName, 3, big5("孟") + '\0');
    QVERIFY(document.editOfficer(0, renamed).changed());
    QCOMPARE(rowsSignalled(), (QList<int>{0, 1}));
    QCOMPARE(model->index(1, TableColumn::Father).data().toString(), QStringLiteral("700 曹孟"));
    QCOMPARE(resets.count(), 1);
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
