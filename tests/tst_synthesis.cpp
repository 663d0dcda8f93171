#include "editdata.h"
#include "generate.h"
#include "records.h"

#include <QTest>

using namespace EditData;
using namespace Generate;

namespace {

// A scripted random source: hands out the given numbers in turn and notes
// any draw beyond them.
struct Script
{
    QVector<int> values;
    int next = 0;
    bool overrun = false;

    RandomSource source()
    {
        return [this] {
            if (next < values.size())
                return values.at(next++);
            overrun = true;
            return 0;
        };
    }
    bool usedExactly() const { return next == values.size() && !overrun; }
};

// Default form options: medium abilities, every skill, no aptitude button.
Options defaults()
{
    Options options;
    options.abilities = AbilityLevel::Medium;
    options.skills = SkillLevel::All;
    options.aptitudes = AptitudeLevel::Bad;
    return options;
}

// Draws before the skills: attr1057, the two style codes, four abilities.
const QVector<int> head = {7, 3, 2, 0, 30, 15, 61};
// Draws after the skills with every aptitude draw failing: attr1070, attr1092,
// attr1093, three aptitude draws, the character code, eight attributes, k.
const QVector<int> tail = {132, 19, 16, 0, 0, 0, 2, 1, 0, 1, 2, 1, 4, 3, 2, 3};

QByteArray synthesize(Script &script, const Options &options, bool female = false,
                      QByteArray record = QByteArray(recordSize, '\0'), Officer officer = {})
{
    officer.female = female;
    synthesizeOfficer(record, officer, 1130, options, script.source());
    return record;
}

QVector<int> bytesAt(const QByteArray &record, int offset, int count)
{
    QVector<int> values;
    for (int i = 0; i < count; ++i)
        values.append(readU8(record, offset + i));
    return values;
}

} // namespace

class TestSynthesis : public QObject
{
    Q_OBJECT

private slots:
    void programDrawsThePlatformSequence();
    void defaultOptionsDrawOrder();
    void abilityLevels_data();
    void abilityLevels();
    void skillLevels_data();
    void skillLevels();
    void aptitudeLevels_data();
    void aptitudeLevels();
    void typeEffectFirstPairAndMaximum();
    void typeEffectSecondPairClamps();
    void characterRules_data();
    void characterRules();
    void namesAndTheirZeroBytes();
    void fatherFields();
    void portraits();
    void batchWalkAndFamilies();
    void batchWithoutFamilies();
};

// The program's random source is qrand(), never seeded: on Windows the C
// runtime's rand(), elsewhere Qt's own generator. Each platform draws the
// same officers every run, but not the other's. These must be the first
// draws of the process, so this runs first.
void TestSynthesis::programDrawsThePlatformSequence()
{
#ifdef Q_OS_WIN
    const QVector<int> expected = {41, 18467, 6334, 26500, 19169};
#else
    const QVector<int> expected = {48271, 182605794, 1291394886, 1914720637, 2078669041};
#endif
    QVector<int> drawn;
    for (int i = 0; i < expected.size(); ++i)
        drawn << Generate::programRandom();
    QCOMPARE(drawn, expected);
}

void TestSynthesis::defaultOptionsDrawOrder()
{
    Script script{head + tail};
    QByteArray before(recordSize, '\x11');
    before.replace(0, 9, QByteArray(9, '\0'));
    Officer officer;
    officer.birthYear = 150;
    const QByteArray record = synthesize(script, defaults(), false, before, officer);
    QVERIFY(script.usedExactly());

    QCOMPARE(readU8(record, gender), quint8(0));
    QCOMPARE(readU16(record, portrait), quint16(1130));
    QCOMPARE(readU8(record, attr1057), quint8(7));
    QCOMPARE(readU8(record, styleCode), quint8(2)); // the second draw stands
    QCOMPARE(readU16(record, birthYear), quint16(150));
    QCOMPARE(readU16(record, word1061), quint16(255));
    QCOMPARE(bytesAt(record, abilities, 4), (QVector<int>{60, 90, 75, 90}));
    QCOMPARE(bytesAt(record, skillsA, 10), QVector<int>(10, 9));
    QCOMPARE(bytesAt(record, skillsB, 10), QVector<int>(10, 9));
    QCOMPARE(readU16(record, attr1070), quint16(132));
    QCOMPARE(readU8(record, attr1092), quint8(19));
    QCOMPARE(readU8(record, attr1093), quint8(16));
    QCOMPARE(bytesAt(record, EditData::aptitudes, 3), (QVector<int>{0, 0, 0}));
    QCOMPARE(readU8(record, characterCode), quint8(2));
    QCOMPARE(bytesAt(record, attr1108, 8), (QVector<int>{1, 0, 1, 2, 1, 4, 3, 2}));
    QCOMPARE(readU8(record, typeFlag), quint8(1));

    // Nothing else of the record changes.
    for (int i = 0; i < recordSize; ++i) {
        const bool written = (i >= gender && i < fatherId) || (i >= characterCode && i <= attr1115);
        if (!written)
            QVERIFY2(record.at(i) == before.at(i), qPrintable(QString::number(i)));
    }
}

void TestSynthesis::abilityLevels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QVector<int>>("draws");
    QTest::addColumn<QVector<int>>("expected");
    QTest::newRow("super") << int(AbilityLevel::Super) << QVector<int>{10, 11, 0, 21}
                           << QVector<int>{110, 100, 100, 110};
    QTest::newRow("high") << int(AbilityLevel::High) << QVector<int>{15, 16, 0, 31}
                          << QVector<int>{95, 80, 80, 95};
    QTest::newRow("medium") << int(AbilityLevel::Medium) << QVector<int>{30, 31, 0, 61}
                            << QVector<int>{90, 60, 60, 90};
    QTest::newRow("low") << int(AbilityLevel::Low) << QVector<int>{50, 51, 0, 101}
                         << QVector<int>{50, 0, 0, 50};
}

void TestSynthesis::abilityLevels()
{
    QFETCH(int, level);
    QFETCH(QVector<int>, draws);
    QFETCH(QVector<int>, expected);
    Options options = defaults();
    options.abilities = AbilityLevel(level);
    Script script{head.mid(0, 3) + draws + tail};
    const QByteArray record = synthesize(script, options);
    QVERIFY(script.usedExactly());
    QCOMPARE(bytesAt(record, abilities, 4), expected);
}

void TestSynthesis::skillLevels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("modulus");
    QTest::newRow("many") << int(SkillLevel::Many) << 3 << 10;
    QTest::newRow("medium") << int(SkillLevel::Medium) << 6 << 6;
    QTest::newRow("little") << int(SkillLevel::Little) << 7 << 5;
}

// Skills alternate between the groups (A0, B0, A1, B1, ...); a level is drawn
// only when the first draw passes the threshold.
void TestSynthesis::skillLevels()
{
    QFETCH(int, level);
    QFETCH(int, threshold);
    QFETCH(int, modulus);
    Options options = defaults();
    options.skills = SkillLevel(level);
    QVector<int> draws;
    QVector<int> expectedA, expectedB;
    for (int i = 0; i < 10; ++i) {
        draws << threshold + 1 << 3 * i + 1; // A passes
        expectedA << (3 * i + 1) % modulus;
        if (i % 2) {
            draws << threshold; // B fails: no level drawn
            expectedB << 0;
        } else {
            draws << 9 << i;
            expectedB << i % modulus;
        }
    }
    Script script{head + draws + tail};
    const QByteArray record = synthesize(script, options);
    QVERIFY(script.usedExactly());
    QCOMPARE(bytesAt(record, skillsA, 10), expectedA);
    QCOMPARE(bytesAt(record, skillsB, 10), expectedB);
}

void TestSynthesis::aptitudeLevels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QVector<int>>("draws");
    QTest::addColumn<QVector<int>>("expected");
    QTest::newRow("all") << int(AptitudeLevel::All) << QVector<int>{} << QVector<int>{3, 3, 3};
    QTest::newRow("some") << int(AptitudeLevel::Some) << QVector<int>{4, 2, 3, 9, 3}
                          << QVector<int>{3, 0, 1};
    QTest::newRow("bad") << int(AptitudeLevel::Bad) << QVector<int>{7, 3, 6, 9, 5}
                         << QVector<int>{3, 0, 1};
}

void TestSynthesis::aptitudeLevels()
{
    QFETCH(int, level);
    QFETCH(QVector<int>, draws);
    QFETCH(QVector<int>, expected);
    Options options = defaults();
    options.aptitudes = AptitudeLevel(level);
    Script script{head + tail.mid(0, 3) + draws + tail.mid(6)};
    const QByteArray record = synthesize(script, options);
    QVERIFY(script.usedExactly());
    QCOMPARE(bytesAt(record, EditData::aptitudes, 3), expected);
    QCOMPARE(readU8(record, characterCode), quint8(2));
}

// Super abilities, the first pair favoured and the bias on the same ability
// reach 148, with no cap at 100 or 110.
void TestSynthesis::typeEffectFirstPairAndMaximum()
{
    Options options = defaults();
    options.abilities = AbilityLevel::Super;
    options.biased = true;
    options.typeEffect = true;
    QVector<int> draws = {7, 3, 2, 10, 10, 10, 10};
    draws += tail.mid(0, tail.size() - 1); // no plain k draw with the type effect
    draws << 49 << 0 << 19 << 19 << 19 << 19; // t, k, a0+, a1+, a2-, a3-
    for (int i = 0; i < 10; ++i) {
        draws << 8 << i; // skillsA lowered by i
        draws << 5 << 9; // skillsB raised, stays at 9
    }
    draws << 19; // bias on k = 0
    Script script{draws};
    const QByteArray record = synthesize(script, options);
    QVERIFY(script.usedExactly());
    QCOMPARE(readU8(record, typeFlag), quint8(1));
    QCOMPARE(bytesAt(record, abilities, 4), (QVector<int>{148, 129, 91, 91}));
    QCOMPARE(bytesAt(record, skillsA, 10), (QVector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    QCOMPARE(bytesAt(record, skillsB, 10), QVector<int>(10, 9));
}

void TestSynthesis::typeEffectSecondPairClamps()
{
    Options options = defaults();
    options.abilities = AbilityLevel::Low;
    options.skills = SkillLevel::Little;
    options.biased = true;
    options.typeEffect = true;
    QVector<int> draws = {7, 3, 2, 0, 50, 10, 20};
    draws += QVector<int>(20, 0); // every skill level 0
    draws += tail.mid(0, tail.size() - 1);
    draws << 50 << 1 << 19 << 5 << 3 << 0; // t, k = 3, a0-, a1-, a2+, a3+
    QVector<int> expectedA;
    for (int i = 0; i < 10; ++i) {
        if (i % 2)
            draws << 8 << 5; // skillsA raised by 5
        else
            draws << 7; // u = 7 fails for skillsA
        expectedA << (i % 2 ? 5 : 0);
        if (i % 2)
            draws << 5 << 3; // skillsB lowered, stays at 0
        else
            draws << 4;
    }
    draws << 7; // bias on k = 3
    Script script{draws};
    const QByteArray record = synthesize(script, options);
    QVERIFY(script.usedExactly());
    QCOMPARE(readU8(record, typeFlag), quint8(0));
    QCOMPARE(bytesAt(record, abilities, 4), (QVector<int>{0, 45, 13, 27}));
    QCOMPARE(bytesAt(record, skillsA, 10), expectedA);
    QCOMPARE(bytesAt(record, skillsB, 10), QVector<int>(10, 0));
}

void TestSynthesis::characterRules_data()
{
    QTest::addColumn<bool>("female");
    QTest::addColumn<int>("character");
    QTest::addColumn<int>("attr1112Drawn");
    QTest::addColumn<QVector<int>>("draws");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("expected1110");
    QTest::addColumn<int>("expected1112");

    QTest::newRow("man 0") << false << 0 << 1 << QVector<int>{1} << 0 << 0 << 1;
    QTest::newRow("man 1") << false << 1 << 2 << QVector<int>{0} << 4 << 1 << 2;
    QTest::newRow("man 2 gives 3") << false << 2 << 2 << QVector<int>{2} << 3 << 0 << 0;
    QTest::newRow("man 3 gives 1") << false << 3 << 2 << QVector<int>{0} << 1 << 1 << 2;
    QTest::newRow("woman 0") << true << 0 << 1 << QVector<int>{1} << 10 << 0 << 1;
    QTest::newRow("woman 1 gives 11") << true << 1 << 2 << QVector<int>{0} << 11 << 0 << 0;
    QTest::newRow("woman 2") << true << 2 << 2 << QVector<int>{} << 12 << 1 << 2;
    QTest::newRow("woman 3") << true << 3 << 1 << QVector<int>{1} << 13 << 0 << 1;
}

void TestSynthesis::characterRules()
{
    QFETCH(bool, female);
    QFETCH(int, character);
    QFETCH(int, attr1112Drawn);
    QFETCH(QVector<int>, draws);
    QFETCH(int, style);
    QFETCH(int, expected1110);
    QFETCH(int, expected1112);

    QVector<int> rest = tail;
    rest[6] = character;
    rest[9] = 0; // attr1110
    rest[11] = attr1112Drawn;

    Options options = defaults();
    options.character = true;
    Script script{head + rest + draws};
    QByteArray record = synthesize(script, options, female);
    QVERIFY(script.usedExactly());
    QCOMPARE(int(readU8(record, styleCode)), style);
    QCOMPARE(int(readU8(record, attr1110)), expected1110);
    QCOMPARE(int(readU8(record, attr1112)), expected1112);

    // Without the option the second style draw stands and neither rule applies.
    Script plain{head + rest};
    record = synthesize(plain, defaults(), female);
    QVERIFY(plain.usedExactly());
    QCOMPARE(int(readU8(record, styleCode)), female ? 10 + 2 : 2);
    QCOMPARE(int(readU8(record, attr1110)), 0);
    QCOMPARE(int(readU8(record, attr1112)), attr1112Drawn);
    QCOMPARE(int(readU8(record, gender)), female ? 1 : 0);
}

void TestSynthesis::namesAndTheirZeroBytes()
{
    Officer officer;
    officer.familyName = big5("劉");
    officer.givenName = big5("備");
    Script script{head + tail};
    QByteArray record =
            synthesize(script, defaults(), false, QByteArray(recordSize, '\0'), officer);
    QCOMPARE(record.left(65),
             big5("劉") + QByteArray(3, '\0') + big5("備") + QByteArray(65 - 7, '\0'));

    // Over the leftovers of a longer name each text ends at its own zero
    // byte, the rest of the field keeps its bytes, and an empty name writes
    // nothing.
    QByteArray leftovers(recordSize, '\0');
    leftovers.replace(0, 65, QByteArray(65, 'x'));
    Script again{head + tail};
    record = synthesize(again, defaults(), false, leftovers, officer);
    QCOMPARE(record.left(5), big5("劉") + QByteArray(1, '\0') + "xx");
    QCOMPARE(record.mid(5, 30), big5("備") + QByteArray(1, '\0') + QByteArray(27, 'x'));
    QCOMPARE(record.mid(35, 30), QByteArray(30, 'x'));

    // Names of the largest size end right before the next field.
    officer.familyName = "ABCD";
    officer.givenName = QByteArray(29, 'g');
    officer.styleName = QByteArray(29, 's');
    Script full{head + tail};
    leftovers.fill('x');
    record = synthesize(full, defaults(), false, leftovers, officer);
    QCOMPARE(record.left(66), QByteArray("ABCD") + '\0' + QByteArray(29, 'g') + '\0'
                                      + QByteArray(29, 's') + '\0' + 'x');
}

void TestSynthesis::fatherFields()
{
    QByteArray before(recordSize, '\0');
    writeU16(before, fatherId, 0x1234);
    writeU16(before, fatherId2, 0x5678);
    Script none{head + tail};
    QByteArray record = synthesize(none, defaults(), false, before);
    QCOMPARE(readU16(record, fatherId), quint16(0x1234));
    QCOMPARE(readU16(record, fatherId2), quint16(0x5678));

    Officer child;
    child.fatherId = 702;
    Script some{head + tail};
    record = synthesize(some, defaults(), false, before, child);
    QCOMPARE(readU16(record, fatherId), quint16(702));
    QCOMPARE(readU16(record, fatherId2), quint16(702));
}

void TestSynthesis::portraits()
{
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    male[1130] = true;
    Script nothing{{}};
    // Lowest free first, flagged, without a draw; the check box has no say.
    QCOMPARE(pickPortrait(male, allMale, true, nothing.source()), quint16(1131));
    QCOMPARE(pickPortrait(male, allMale, false, nothing.source()), quint16(1132));
    QVERIFY(male.value(1131) && male.value(1132));
    QCOMPARE(pickPortrait(female, allFemale, false, nothing.source()), quint16(1180));
    QVERIFY(nothing.usedExactly());

    // Exhausted: a random generic number, or with historic portraits any
    // number of that sex; no flag changes.
    for (auto it = male.begin(); it != male.end(); ++it)
        it.value() = true;
    const PortraitPool full = male;
    Script draws{{0, 81, 82 + 5, 0, 1052}};
    QCOMPARE(pickPortrait(male, allMale, false, draws.source()), quint16(1130));
    QCOMPARE(pickPortrait(male, allMale, false, draws.source()), quint16(1258));
    QCOMPARE(pickPortrait(male, allMale, false, draws.source()), quint16(1135));
    QCOMPARE(pickPortrait(male, allMale, true, draws.source()), quint16(1));
    QCOMPARE(pickPortrait(male, allMale, true, draws.source()), quint16(1258));
    QVERIFY(draws.usedExactly());
    QCOMPARE(male, full);
    QVERIFY(!allMale.values().contains(true));
}

// Slots 0 to 9 occupied but 2 and 5: the head goes to slot 2, the man to 5
// and the woman to 10, both children of the head.
void TestSynthesis::batchWalkAndFamilies()
{
    QList<QByteArray> records = splitRecords(QByteArray());
    for (int i = 0; i < 10; ++i) {
        if (i != 2 && i != 5)
            records[i] = occupiedRecord(big5("甲"), big5("乙"));
    }
    const QStringList families = {"劉", "張", "關"};
    const QStringList boys = {"備", "飛", "羽"};
    const QStringList girls = {"月", "英"};
    // Per officer: family, g1, g2, r(10) [, head choice].
    Script script{{1, 0, 1, 4, /**/ 2, 2, 2, 3, 0, /**/ 0, 1, 0, 9, 0}};
    QList<BatchOfficer> made;
    generateBatch(records, {2, 1, 1}, families, boys, girls, script.source(),
                  [&](const BatchOfficer &officer) { made.append(officer); });
    QVERIFY(script.usedExactly());
    QCOMPARE(made.size(), 3);

    QCOMPARE(made[0].slot, qint64(2));
    QCOMPARE(made[0].female, false);
    QCOMPARE(int(made[0].birthYear), 150);
    QCOMPARE(made[0].familyName, QStringLiteral("張"));
    QCOMPARE(made[0].givenName, QStringLiteral("備飛"));
    QCOMPARE(made[0].fatherId, noFather);

    QCOMPARE(made[1].slot, qint64(5));
    QCOMPARE(made[1].female, false);
    QCOMPARE(int(made[1].birthYear), 170);
    QCOMPARE(made[1].familyName, QStringLiteral("張")); // the drawn 關 is dropped
    QCOMPARE(made[1].givenName, QStringLiteral("羽")); // r(10) = 3: one entry
    QCOMPARE(made[1].fatherId, quint16(702));

    QCOMPARE(made[2].slot, qint64(10));
    QCOMPARE(made[2].female, true);
    QCOMPARE(made[2].familyName, QStringLiteral("張"));
    QCOMPARE(made[2].givenName, QStringLiteral("英月"));
    QCOMPARE(made[2].fatherId, quint16(702));
}

void TestSynthesis::batchWithoutFamilies()
{
    QList<BatchOfficer> made;
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = occupiedRecord(big5("甲"), big5("乙"));
    // Heads choose among themselves with r(F) over ascending slots.
    Script script{{0, 0, 0, 0, /**/ 1, 0, 0, 0, /**/ 0, 0, 0, 0, 1}};
    generateBatch(records, {3, 0, 2}, {"A", "B"}, {"x"}, {"y"}, script.source(),
                  [&](const BatchOfficer &officer) { made.append(officer); });
    QVERIFY(script.usedExactly());
    QCOMPARE(made.size(), 3);
    QCOMPARE(made[2].slot, qint64(3));
    QCOMPARE(made[2].familyName, QStringLiteral("B"));
    QCOMPARE(made[2].fatherId, quint16(702));

    // No families: independent names, no father; nothing more than asked.
    made.clear();
    Script plain{{1, 0, 0, 5, /**/ 0, 0, 0, 0}};
    generateBatch(records, {1, 1, 0}, {"A", "B"}, {"x"}, {"y"}, plain.source(),
                  [&](const BatchOfficer &officer) { made.append(officer); });
    QVERIFY(plain.usedExactly());
    QCOMPARE(made.size(), 2);
    QCOMPARE(made[0].familyName, QStringLiteral("B"));
    QCOMPARE(made[0].givenName, QStringLiteral("xx"));
    QCOMPARE(made[0].fatherId, noFather);
    QCOMPARE(made[1].slot, qint64(2));
    QCOMPARE(made[1].female, true);
    QCOMPARE(made[1].fatherId, noFather);
}

QTEST_GUILESS_MAIN(TestSynthesis)
#include "tst_synthesis.moc"
