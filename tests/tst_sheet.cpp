// The officer table as a spreadsheet: a CSV file read back as changes to the
// officers, with every fault named, and one change made to many officers.

#include "batchedit.h"
#include "csvreader.h"
#include "csvupdate.h"
#include "editdata.h"
#include "officeredit.h"
#include "officertable.h"
#include "records.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTextCodec>

using namespace EditData;

namespace {

CsvUpdatePlan plan(const QList<QByteArray> &records, const QByteArray &csv)
{
    return planCsvUpdate(records, csv, QTextCodec::codecForName("Big5"));
}

} // namespace

Q_DECLARE_METATYPE(QList<QByteArray>)

class TestSheet : public QObject
{
    Q_OBJECT

private slots:
    void unchangedCellsChangeNothing();
    void editsWriteTheEditorsBytes();
    void readsBig5AndTabs_data();
    void readsBig5AndTabs();
    void quotedFieldsAndLines();
    void everyFaultWithItsLine();
    void largestValuesAreChanges();
    void errorsCountedComputedColumnsNoted();
    void twoRowsMakeNoRing();
    void batchEditHeldWithinRanges();
};

// The table's export, and cells that differ from it only in how a number or
// a father is written, change nothing.
void TestSheet::unchangedCellsChangeNothing()
{
    const QList<QByteArray> records = sheetOfficers();
    QList<QVariantList> rows;
    for (int slot : occupiedSlots(records))
        rows.append(officerTableRow(records, slot, QTextCodec::codecForName("Big5")));
    const CsvUpdatePlan exported = plan(records, officerTableCsv(rows));
    QCOMPARE(exported.errors, QStringList());
    QCOMPARE(exported.changes.size(), 0);
    QVERIFY(!exported.missingIdColumn);

    const CsvUpdatePlan alike = plan(records, "父親,能力一,編號,性別,頭像\n"
                                              "700 anything, 060 ,701,0,+1132\n"
                                              "無,60,700,男,\n"
                                              "710,60,705,\" 2\",\n");
    QCOMPARE(alike.errors, QStringList());
    QCOMPARE(alike.changes.size(), 0);
}

// A name as its bytes, one zero and zeros to the old text's end; an ability
// byte; the father into both fields; the portrait; nothing else.
void TestSheet::editsWriteTheEditorsBytes()
{
    const QList<QByteArray> before = sheetOfficers();
    QList<QByteArray> records = before;
    const CsvUpdatePlan update = plan(records, "編號,名,能力一,父親,頭像\r\n"
                                               "704,羽,,701 劉備,\r\n"
                                               "701,,99,,\r\n"
                                               "700,,,,1133\r\n");
    QCOMPARE(update.errors, QStringList());
    QStringList listed;
    for (const CsvChange &c : update.changes)
        listed << QStringList(
                          {QString::number(c.slot), c.officer, c.column, c.oldValue, c.newValue})
                          .join(' ');
    QCOMPARE(listed, (QStringList{"4 關雲長 名 雲長 羽", "4 關雲長 父親 無 701 劉備",
                                  "1 劉備 能力一 60 99", "0 劉弘 頭像 1130 1133"}));

    const CsvUpdateResult result =
            applyCsvUpdate(records, update, QTextCodec::codecForName("Big5"));
    QCOMPARE(result.changedSlots, (QVector<int>{4, 1, 0}));
    QVERIFY(result.portraitChanged);
    QList<QByteArray> expected = before;
    expected[4].replace(givenName, 4, big5("羽") + QByteArray(2, '\0'));
    writeU16(expected[4], fatherId, 701);
    writeU16(expected[4], fatherId2, 701);
    writeU8(expected[1], abilities, 99);
    writeU16(expected[0], portrait, 1133);
    QCOMPARE(records, expected);
}

void TestSheet::readsBig5AndTabs_data()
{
    QTest::addColumn<QByteArray>("csv");
    const QString comma = QStringLiteral("編號,姓,字\r\n703,張,\"伯,約\"\r\n");
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + comma.toUtf8();
    QTest::newRow("Big5") << big5(comma);
    QTest::newRow("tabs") << QStringLiteral("編號\t姓\t字\n703\t張\t伯,約\n").toUtf8();
}

void TestSheet::readsBig5AndTabs()
{
    QFETCH(QByteArray, csv);
    const CsvUpdatePlan update = plan(sheetOfficers(), csv);
    QCOMPARE(update.errors, QStringList());
    QCOMPARE(update.changes.size(), 2);
    QCOMPARE(update.changes.at(0).newValue, QStringLiteral("張"));
    QCOMPARE(update.changes.at(1).newValue, QStringLiteral("伯,約"));
}

// Quoted fields hold separators, doubled quotes and line breaks; rows keep
// the line they start on; an empty line is no row.
void TestSheet::quotedFieldsAndLines()
{
    QStringList rows;
    for (const CsvRow &row : parseCsv("a,\"b,\"\"c\"\"\r\nd\",e\r\n\r\n\"f\"x,\n\"g"))
        rows << QString::number(row.line) + ':' + row.fields.join('|');
    QCOMPARE(rows, (QStringList{"1:a|b,\"c\"\r\nd|e", "4:fx|", "5:g"}));
}

// One row for each kind of fault, all listed in file order with the line
// each row starts on; a plan with faults writes nothing.
void TestSheet::everyFaultWithItsLine()
{
    QList<QByteArray> records = sheetOfficers();
    const CsvUpdatePlan update = plan(
            records, QStringLiteral("編號,姓名,姓,名,字,性別,生年,頭像,能力一,兵科一,父親,備註\n"
                                    "999,,,,,,,,,,,\n"
                                    "abc,,,,,,,,,,,\n"
                                    "700,\"劉\n弘\",,,,,,,,,,x\n"
                                    "701,,,,,,1x2,70000,149,-1,,\n"
                                    "702,,諸葛亮,😀,很長很長很長很長很長很長很長很長,,,,,,,\n"
                                    "703,,,,,男,,1130,,,703 孫尚香,\n"
                                    "701,,,,,,,,,,,\n"
                                    ",,,,,,,,,,,\n"
                                    "720,,,,,,,,,,,\n"
                                    "704,\"劉,,,,,,,,,,\n")
                             .toUtf8());
    QCOMPARE(update.errors, (QStringList{
                                    "第2行「編號」：編號必須在700至849之間",
                                    "第3行「編號」：不是整數",
                                    "第6行「生年」：不是整數",
                                    "第6行「頭像」：超出範圍（0–65535）",
                                    "第6行「能力一」：超出範圍（0–148）",
                                    "第6行「兵科一」：超出範圍（0–3）",
                                    "第7行「姓」：姓名過長",
                                    "第7行「名」：姓名含有Big5無法表示的字",
                                    "第7行「字」：姓名過長",
                                    "第8行「性別」：性別不能修改",
                                    "第8行「頭像」：沒有這個頭像",
                                    "第8行「父親」：不能設為父親",
                                    "第9行「編號」：編號重複",
                                    "第11行「編號」：沒有這個編號的武將",
                                    "第12行「姓名」：引號沒有結束",
                            }));
    const QList<QByteArray> before = records;
    QVERIFY(applyCsvUpdate(records, update, QTextCodec::codecForName("Big5"))
                    .changedSlots.isEmpty());
    QCOMPARE(records, before);

    QVERIFY(plan(records, "姓名,生年\n劉弘,150\n").missingIdColumn);
    QVERIFY(plan(records, "").missingIdColumn);
}

// A field set exactly to its largest value is a change.
void TestSheet::largestValuesAreChanges()
{
    const CsvUpdatePlan update =
            plan(sheetOfficers(), "編號,能力一,兵科一,特技一1,個性,生年\n700,148,3,9,3,65535\n");
    QCOMPARE(update.errors, QStringList());
    QStringList newValues;
    for (const CsvChange &change : update.changes)
        newValues << change.newValue;
    QCOMPARE(newValues, (QStringList{"148", "3", "9", "3", "65535"}));
}

// However many errors a file holds, a thousand are listed and the rest
// counted, also in a file as wide as it is long; computed columns that
// differ from the officers are noted, not read.
void TestSheet::errorsCountedComputedColumnsNoted()
{
    const QByteArray wideHeader = "編號" + QByteArray(",x").repeated(300000) + '\n';
    QElapsedTimer clock;
    clock.start();
    const CsvUpdatePlan many =
            plan(sheetOfficers(), wideHeader + QByteArray("999\n").repeated(1005));
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(many.errors.size(), 1000);
    QCOMPARE(csvErrorLines(many).mid(999),
             (QStringList{"第1001行「編號」：編號必須在700至849之間", "……還有5個錯誤。"}));

    // 劉弘's abilities are 60 to 63.
    const QList<QByteArray> records = sheetOfficers();
    QVERIFY(!plan(records, "編號,姓名,能力合計\n700,劉弘, 0246 \n").computedColumnsDiffer);
    for (const char *csv : {"編號,姓名\n700,劉備\n", "編號,能力合計\n700,247\n",
                            "編號,特技合計,能力一\n700,x,99\n"}) {
        const CsvUpdatePlan noted = plan(records, csv);
        QVERIFY2(noted.computedColumnsDiffer && noted.errors.isEmpty(), csv);
    }
}

// 孫尚香 takes 關雲長 as father; he then cannot take her, though either
// alone may.
void TestSheet::twoRowsMakeNoRing()
{
    const QList<QByteArray> records = sheetOfficers();
    QCOMPARE(plan(records, "編號,父親\n703,704\n704,703\n").errors,
             QStringList{"第3行「父親」：不能設為父親"});
    QCOMPARE(plan(records, "編號,父親\n704,703\n").errors, QStringList());
}

// Values added past a field's end are held there; only the officers whose
// bytes change count, each slot once; a field not checked stays.
void TestSheet::batchEditHeldWithinRanges()
{
    QList<QByteArray> records = sheetOfficers();
    for (int i = 0; i < 10; ++i)
        writeU8(records[0], skillsA + i, quint8(i));
    writeU8(records[1], characterCode, 2);
    const QList<QByteArray> before = records;

    BatchEdit add;
    add.mode = BatchEdit::Add;
    add.birthYear = {true, -150};
    add.abilities[0] = {true, 100};
    add.abilities[1] = {false, 100};
    add.skillsA = {true, 3};
    QCOMPARE(applyBatchEdit(records, {0, 1, 1, 9, 200}, add), 2);
    QList<QByteArray> expected = before;
    writeU16(expected[0], birthYear, 0);
    writeU16(expected[1], birthYear, 11);
    for (int slot : {0, 1}) {
        writeU8(expected[slot], abilities, maxAbility);
        for (int i = 0; i < 10; ++i)
            writeU8(expected[slot], skillsA + i,
                    quint8(qMin(readU8(before[slot], skillsA + i) + 3, maxSkillLevel)));
    }
    QCOMPARE(records, expected);

    BatchEdit set;
    set.character = {true, 2};
    QCOMPARE(applyBatchEdit(records, {0, 1}, set), 1);
    writeU8(expected[0], characterCode, 2);
    QCOMPARE(records, expected);
}

QTEST_GUILESS_MAIN(TestSheet)
#include "tst_sheet.moc"
