// Checking a file's officers: each rule finds its own fault and nothing
// else, rings are reported once, and the repairs change only what they
// mend.

#include "editdata.h"
#include "filecheck.h"
#include "records.h"

#include <QJsonObject>
#include <QTest>
#include <QTextCodec>

using namespace EditData;

namespace {

QTextCodec *codec()
{
    return QTextCodec::codecForName("Big5");
}

QByteArray officer(const QString &name, quint16 born = 170, quint16 face = 0,
                   quint16 father = noFather, quint8 sex = 0)
{
    QByteArray record = occupiedRecord(big5(name.left(1)), big5(name.mid(1)), born, face);
    writeU8(record, gender, sex);
    writeU8(record, styleCode, sex == 1 ? 10 : 0);
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father);
    return record;
}

using Found = QVector<std::tuple<int, QString, QString, QString, bool>>;

// Each problem as its slot, text, field, level and whether it has a repair.
Found found(const QVector<FileProblem> &problems)
{
    Found rows;
    for (const FileProblem &p : problems)
        rows.append({p.slot, p.problem, p.field, levelText(p.level), p.repairable});
    return rows;
}

QVector<FileProblem> only(const QVector<FileProblem> &problems, CheckRule rule)
{
    QVector<FileProblem> kept;
    for (const FileProblem &problem : problems) {
        if (problem.rule == rule)
            kept.append(problem);
    }
    return kept;
}

} // namespace

class TestFileCheck : public QObject
{
    Q_OBJECT

private slots:
    void eachRuleFindsItsFault();
    void ringOfThreeIsRepairedAtItsLowestOfficer();
    void portraitRepairTakesTheLowestFreeOfTheSex();
};

void TestFileCheck::eachRuleFindsItsFault()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[0] = officer("曹操", 150, 1130);
    records[1] = officer("曹丕", 170, 1131, 700);
    writeU16(records[1], fatherId2, 701);
    records[2] = officer("曹彰", 170, 0, 720); // an empty slot
    records[3] = officer("曹植", 170, 0, 703);
    records[4] = officer("曹沖", 170, 0, 705);
    records[5] = officer("曹熊", 170, 0, 704);
    records[6] = officer("曹昂");
    records[6].replace(familyName, 5, "ABCDE"); // the family name runs into the given name
    // A pair that decodes to the replacement character; a user-defined
    // character and a byte that stands alone are readable.
    records[7] = officer("曹仁");
    records[7].replace(givenName, 3, QByteArray("\xA3\xC0\0", 3));
    records[7].replace(styleName, 5, QByteArray("\xFA\x40\x80Z\0", 5));
    records[8] = officer("曹洪");
    records[8].replace(familyName, 2, QByteArray("\xA4\0", 2)); // a lead byte cut short
    records[9] = officer("曹休", 170, 1130);
    records[10] = officer("曹真");
    writeU8(records[10], abilities, 200);
    writeU8(records[10], skillsB + 2, 10);
    writeU8(records[10], attr1057, 11);
    writeU8(records[10], styleCode, 5);
    writeU16(records[10], attr1070, 133);
    writeU8(records[10], attr1113 + 2, 4); // the highest allowed
    records[11] = officer("曹純", 160, 0, 700);
    records[12] = officer("甄氏", 170, 1180, 0x1234, 1); // a father outside the file

    const QVector<FileProblem> problems = checkRecords(records, codec());
    const QString father = "父親", error = "錯誤", note = "注意";
    const Found expected = {
            {1, "父親欄不一致", "字節1096", error, true},
            {2, "父親不存在", father, error, true},
            {3, "父親是自己", father, error, true},
            {4, "父子關係成環", father, error, true},
            {4, "父親年輕", "生年", note, false},
            {5, "父親年輕", "生年", note, false},
            {6, "姓名沒有結束", "姓", error, false},
            {7, "姓名無法讀取", "名", error, false},
            {8, "姓名無法讀取", "姓", error, false},
            {9, "頭像重複", "頭像", note, true},
            {10, "超出生成範圍", "字節1057", note, false},
            {10, "超出生成範圍", "字節1058", note, false},
            {10, "超出生成範圍", "能力一", note, false},
            {10, "超出生成範圍", "字節1070", note, false},
            {10, "超出生成範圍", "特技二3", note, false},
            {11, "父親年輕", "生年", note, false},
    };
    QCOMPARE(found(problems), expected);
    QCOMPARE(errorCount(problems), 7);

    // The line and the object that the command line prints.
    QCOMPARE(problemLine(problems.at(1)),
             QStringLiteral(
                     "702 曹彰 錯誤 父親不存在：父親720所在的位置是空的。修正後父親改為「無」。"));
    const QJsonObject object = problemJson(problems.at(12));
    QCOMPARE(object.value("value").toInt(), 200);
    QCOMPARE(object.value("field").toString(), QStringLiteral("能力一"));
    QCOMPARE(object.value("reason").toString(),
             QStringLiteral("「能力一」是200，超出生成時寫入的0至148。無法自動修正。"));
    QCOMPARE(problems.at(7).value.toString(), QStringLiteral("A3 C0"));

    // Repairing everything mends the father links and the portrait and
    // leaves every other byte; what the records no longer hold is passed over.
    QList<QByteArray> mended = records;
    writeU16(mended[1], fatherId2, 700);
    for (int slot : {2, 3, 4}) {
        writeU16(mended[slot], fatherId, noFather);
        writeU16(mended[slot], fatherId2, noFather);
    }
    writeU16(mended[9], portrait, 1132);
    int repaired = 0;
    QCOMPARE(repairRecords(records, problems, codec(), &repaired), mended);
    QCOMPARE(repaired, 5);
    QCOMPARE(repairRecords(mended, problems, codec(), &repaired), mended);
    QCOMPARE(repaired, 0);
}

void TestFileCheck::ringOfThreeIsRepairedAtItsLowestOfficer()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[2] = officer("孫堅", 170, 0, 706);
    records[6] = officer("孫策", 170, 0, 704);
    records[4] = officer("孫權", 170, 0, 702);
    records[1] = officer("孫亮", 170, 0, 702); // beneath the ring, not in it

    const QVector<FileProblem> rings = only(checkRecords(records, codec()), CheckRule::FatherRing);
    QCOMPARE(rings.size(), 1);
    QCOMPARE(rings.at(0).slot, 2);
    QVERIFY(rings.at(0).reason.contains("702 → 706 → 704 → 702"));

    int repaired = 0;
    QList<QByteArray> expected = records;
    writeU16(expected[2], fatherId, noFather);
    writeU16(expected[2], fatherId2, noFather);
    QCOMPARE(repairRecords(records, checkRecords(records, codec()), codec(), &repaired), expected);
    QCOMPARE(repaired, 1);
}

void TestFileCheck::portraitRepairTakesTheLowestFreeOfTheSex()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[0] = officer("張飛", 170, 1130);
    records[1] = officer("黃月英", 170, 1131, noFather, 1); // a man's portrait counts too
    records[2] = officer("張苞", 170, 1133);
    records[3] = officer("貂蟬", 170, 1180, noFather, 1);
    records[4] = officer("張紹", 170, 1130);
    records[5] = officer("甄氏", 170, 1180, noFather, 1);
    records[6] = officer("張遵", 170, 1133);
    records[7] = officer("某人", 170, 1130, noFather, 2); // no sex to choose by

    QVector<FileProblem> repeats =
            only(checkRecords(records, codec()), CheckRule::PortraitRepeated);
    QCOMPARE(repeats.size(), 4);
    QVERIFY(repeats.at(0).reason.endsWith("修正後改用通用頭像1132。"));
    QVERIFY(!repeats.at(3).repairable);

    // All at once: none is handed out twice.
    QList<QByteArray> mended = repairRecords(records, repeats, codec());
    QCOMPARE(readU16(mended.at(4), portrait), quint16(1132));
    QCOMPARE(readU16(mended.at(5), portrait), quint16(1181));
    QCOMPARE(readU16(mended.at(6), portrait), quint16(1134));
    QCOMPARE(mended.at(7), records.at(7));
    // One alone takes the lowest free.
    mended = repairRecords(records, {repeats.at(2)}, codec());
    QCOMPARE(readU16(mended.at(6), portrait), quint16(1132));
    QCOMPARE(readU16(mended.at(4), portrait), quint16(1130));

    // With every woman's generic portrait in use, none is left to take.
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    int slot = 10;
    for (const quint16 number : female.keys())
        records[slot++] = officer("女子", 170, number, noFather, 1);
    repeats = only(checkRecords(records, codec()), CheckRule::PortraitRepeated);
    QCOMPARE(repeats.at(1).slot, 5);
    QVERIFY(!repeats.at(1).repairable);
    QVERIFY(repeats.at(1).reason.contains("沒有空閒的通用頭像"));
}

QTEST_GUILESS_MAIN(TestFileCheck)
#include "tst_filecheck.moc"
