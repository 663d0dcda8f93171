#include "editdata.h"
#include "records.h"

#include <QTest>
#include <QTextCodec>

using namespace EditData;

class TestEditData : public QObject
{
    Q_OBJECT

private slots:
    void layoutConstants();
    void littleEndianFields();
    void emptySlot_data();
    void emptySlot();
    void splitAndWriteBack();
    void nameRows_data();
    void nameRows();
    void namesNeverReadPastTheRecord();
    void portraitPools();
    void markingUsedPortraits();
};

void TestEditData::layoutConstants()
{
    QCOMPARE(fileSize, 262144);
    QCOMPARE(recordAreaOffset + recordCount * recordSize, 183764);
    QCOMPARE(recordAreaEnd, 183764);
    // The named fields of a record, in order, with the widths that the
    // generator writes.
    QCOMPARE(givenName - familyName, 5);
    QCOMPARE(styleName - givenName, 30);
    QCOMPARE(portrait, gender + 1);
    QCOMPARE(skillsB - skillsA, 10);
    QCOMPARE(fatherId2 - fatherId, 2);
    QCOMPARE(attr1115, 1115);
    QVERIFY(attr1115 < recordSize - 2);
    QCOMPARE(familyNameMaxBytes + 1, givenName - familyName);
    QCOMPARE(givenNameMaxBytes + 1, styleName - givenName);
    QVERIFY(styleName + styleNameMaxBytes + 1 <= gender);
}

void TestEditData::littleEndianFields()
{
    QByteArray record(recordSize, '\0');
    writeU16(record, portrait, 0x1234);
    QCOMPARE(record.mid(portrait, 2), QByteArray("\x34\x12"));
    QCOMPARE(readU16(record, portrait), quint16(0x1234));
    // Unaligned and at the very end of the record.
    writeU16(record, recordSize - 2, 0xFFEE);
    QCOMPARE(readU16(record, recordSize - 2), quint16(0xFFEE));
    QCOMPARE(record.at(recordSize - 3), '\0');
    writeU8(record, gender, 200);
    QCOMPARE(readU8(record, gender), quint8(200));
}

void TestEditData::emptySlot_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("empty");

    const QByteArray zero(recordSize, '\0');
    QTest::newRow("all zero") << zero << true;
    QByteArray oneCharacter = zero;
    oneCharacter.replace(0, 2, big5(QStringLiteral("劉")));
    oneCharacter.replace(5, 2, big5(QStringLiteral("備")));
    QTest::newRow("one-character family name") << oneCharacter << false;
    QByteArray onlyGiven = zero;
    onlyGiven[8] = 1;
    QTest::newRow("only byte 8") << onlyGiven << false;
    QByteArray onlyFamily = zero;
    onlyFamily[3] = 1;
    QTest::newRow("only byte 3") << onlyFamily << false;
    QByteArray byte4 = zero;
    byte4[4] = 'x';
    QTest::newRow("only byte 4") << byte4 << true;
    QByteArray tail = zero;
    tail.replace(9, recordSize - 9, QByteArray(recordSize - 9, '\xff'));
    QTest::newRow("bytes from 9 on") << tail << true;
}

void TestEditData::emptySlot()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, empty);
    QCOMPARE(isEmptySlot(record), empty);
}

void TestEditData::splitAndWriteBack()
{
    QByteArray image(fileSize, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + i / 251);
    const QList<QByteArray> records = splitRecords(image);
    QCOMPARE(records.size(), recordCount);
    for (int i = 0; i < recordCount; ++i)
        QCOMPARE(records.at(i), image.mid(recordAreaOffset + i * recordSize, recordSize));

    // The records are copies: changing one leaves the image alone until it is
    // written back, and writing back touches the record area only.
    QList<QByteArray> changed = records;
    changed[149].fill('\x5a');
    QByteArray copy = image;
    QCOMPARE(copy, image);
    writeRecordsToImage(changed, copy);
    QCOMPARE(copy.left(recordAreaEnd - recordSize), image.left(recordAreaEnd - recordSize));
    QCOMPARE(copy.mid(recordAreaEnd - recordSize, recordSize), QByteArray(recordSize, '\x5a'));
    QCOMPARE(copy.mid(recordAreaEnd), image.mid(recordAreaEnd));
    writeRecordsToImage(records, copy);
    QCOMPARE(copy, image);

    // An image without a record area gives 150 blank records.
    const QList<QByteArray> blank = splitRecords(QByteArray());
    QCOMPARE(blank.size(), recordCount);
    QCOMPARE(blank.at(0), QByteArray(recordSize, '\0'));
}

void TestEditData::nameRows_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("rows");

    QByteArray plain = occupiedRecord(big5("諸葛"), big5("亮"));
    QTest::newRow("family and given") << plain << QStringList{"諸葛亮"};
    QByteArray styled = plain;
    styled.replace(styleName, 5, big5("孔明") + '\0');
    QTest::newRow("style in brackets") << styled << QStringList{"諸葛亮(孔明)"};
    QByteArray lateStyle = plain;
    lateStyle[styleName + 4] = 'x';
    lateStyle[styleName + 20] = 'y';
    QTest::newRow("style bytes 35-38 zero") << lateStyle << QStringList{"諸葛亮"};
    QByteArray noFamily = occupiedRecord(QByteArray(), big5("昭"));
    QTest::newRow("empty family name") << noFamily << QStringList{"昭"};
    QByteArray hiddenStyle = QByteArray(recordSize, '\0');
    hiddenStyle.replace(styleName, 4, big5("孔明"));
    QTest::newRow("empty slot with a style name") << hiddenStyle << QStringList();
    // A family name of five non-zero bytes runs on into the given name.
    QByteArray fiveBytes = occupiedRecord(big5("司馬") + 'A', big5("懿"));
    QTest::newRow("five-byte family name") << fiveBytes << QStringList{"司馬A懿懿"};
}

void TestEditData::nameRows()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, rows);
    QList<QByteArray> records = splitRecords(QByteArray());
    records[7] = record;
    QCOMPARE(officerNameRows(records, QTextCodec::codecForName("Big5")), rows);
}

void TestEditData::namesNeverReadPastTheRecord()
{
    QByteArray record(recordSize, 'A');
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    QCOMPARE(readName(record, styleName, codec), QString(recordSize - styleName, 'A'));
    QCOMPARE(readName(record, recordSize, codec), QString());
    // An invalid lead byte as the last byte decodes without reading further.
    record[recordSize - 1] = '\x81';
    QVERIFY(readName(record, recordSize - 1, codec).size() <= 1);
    QCOMPARE(readName(record, familyName, nullptr), QString());

    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = record;
    const QStringList rows = officerNameRows(records, codec);
    QCOMPARE(rows.size(), 1);
    QVERIFY(rows.at(0).startsWith(QString(recordSize - 1, 'A')));
    QVERIFY(rows.at(0).endsWith(')'));
}

void TestEditData::portraitPools()
{
    PortraitPool male, female, allMale, allFemale;
    male.insert(5, true); // stale contents are dropped
    buildPortraitPools(male, female, allMale, allFemale);
    QCOMPARE(male.size(), 82);
    QCOMPARE(female.size(), 54);
    QCOMPARE(allMale.size(), 1053);
    QCOMPARE(allFemale.size(), 94);
    for (const PortraitPool *pool : {&male, &female, &allMale, &allFemale})
        QVERIFY(!pool->values().contains(true));

    // The generic ranges interleave and never overlap.
    for (int n = 0; n < 1300; ++n) {
        const bool inMale = (n >= 1130 && n <= 1179) || (n >= 1210 && n <= 1219)
                            || (n >= 1230 && n <= 1240) || (n >= 1248 && n <= 1258);
        const bool inFemale = (n >= 1180 && n <= 1209) || (n >= 1220 && n <= 1229)
                              || (n >= 1241 && n <= 1247) || (n >= 1259 && n <= 1265);
        QCOMPARE(male.contains(n), inMale);
        QCOMPARE(female.contains(n), inFemale);
        QCOMPARE(allMale.contains(n), inMale || (n >= 1 && n <= 951) || (n >= 992 && n <= 1011));
        QCOMPARE(allFemale.contains(n), inFemale || (n >= 952 && n <= 991));
    }
}

void TestEditData::markingUsedPortraits()
{
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = occupiedRecord(big5("劉"), big5("備"), 170, 500); // historical
    records[1] = occupiedRecord(big5("孫"), big5("尚香"), 170, 1150); // woman, male number
    records[1][gender] = 1;
    records[2] = occupiedRecord(big5("黃"), big5("月英"), 170, 1181);
    records[3] = occupiedRecord(big5("張"), big5("飛"), 170, 1181); // shared number
    records[4] = QByteArray(recordSize, '\0');
    writeU16(records[4], portrait, 1131); // empty slot
    records[5] = occupiedRecord(big5("趙"), big5("雲"), 170, 0xFFFF);
    const QList<QByteArray> before = records;

    markUsedPortraits(records, male, female);
    QCOMPARE(records, before);
    QCOMPARE(male.keys(true), QList<quint16>{1150});
    QCOMPARE(female.keys(true), QList<quint16>{1181});
    QCOMPARE(allMale.keys(true), QList<quint16>());
    QCOMPARE(male.size(), 82);
    QCOMPARE(female.size(), 54);
}

QTEST_GUILESS_MAIN(TestEditData)
#include "tst_editdata.moc"
