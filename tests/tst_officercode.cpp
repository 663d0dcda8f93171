// Officers copied as bytes and as a text code, and pasted into other records.

#include "importofficers.h"
#include "officercode.h"

#include <QTest>
#include <QTextCodec>

using namespace EditData;

namespace {

QByteArray officer(const QString &name, quint16 portraitNumber, quint16 father = noFather)
{
    QByteArray record(recordSize, '\0');
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    record.replace(familyName, 2, big5->fromUnicode(name.left(1)));
    record.replace(givenName, 2, big5->fromUnicode(name.mid(1)));
    for (int i = 70; i < gender; i += 7)
        record[i] = char(i); // bytes the program does not name travel along
    writeU16(record, portrait, portraitNumber);
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father);
    return record;
}

QList<QByteArray> emptyRecords()
{
    return QVector<QByteArray>(recordCount, QByteArray(recordSize, '\0')).toList();
}

// 孫堅; his sons 孫策 and 孫權, whose second field names him and whose first
// names an officer who is not copied; 周瑜.
QList<QByteArray> theirs()
{
    QList<QByteArray> records = emptyRecords();
    records[5] = officer("孫堅", 1130);
    records[7] = officer("孫策", 1132, 705);
    records[9] = officer("孫權", 1132, 760);
    writeU16(records[9], fatherId2, 705);
    records[12] = officer("周瑜", 500);
    return records;
}

const QVector<int> copied{5, 7, 9, 12};

} // namespace

class TestOfficerCode : public QObject
{
    Q_OBJECT

private slots:
    void pasteAddsAsImportDoes();
    void codeFoundInText();
    void damagedCodesChangeNothing();
};

// The bytes and their code; a paste that fits, and one that does not.
void TestOfficerCode::pasteAddsAsImportDoes()
{
    const QByteArray bytes = officerBytes(theirs(), {12, 9, 5, 3, 7, 7});
    QCOMPARE(bytes.size(), 2 + 4 * 1120);
    QCOMPARE(bytes.left(4), QByteArray("\x04\x00\xc1\x02", 4)); // 4 officers, the first 705
    const QString code = officerCode(bytes);
    QVERIFY(code.startsWith("OFFICERS1:") && !code.contains('='));
    QCOMPARE(QByteArray::fromBase64(code.mid(10).toLatin1(), QByteArray::Base64UrlEncoding).at(0),
             '\x78'); // a bare zlib stream

    QList<QByteArray> pasted = emptyRecords();
    pasted[0] = theirs().at(5);
    QList<QByteArray> imported = pasted;
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    PortraitPool importedMale = male, importedFemale = female;
    QCOMPARE(pasteOfficers(pasted, male, female, officersFromText(code)),
             (QVector<int>{1, 2, 3, 4}));
    importOfficers(imported, importedMale, importedFemale, theirs(), copied);
    QVERIFY(pasted == imported && male == importedMale && female == importedFemale);
    QCOMPARE(readU16(pasted.at(3), fatherId2), quint16(701));

    for (int slot = 8; slot < recordCount; ++slot)
        pasted[slot] = theirs().at(5); // three slots left
    const QList<QByteArray> full = pasted;
    QVERIFY(!pasteOfficers(pasted, male, female, officersFromBytes(bytes)));
    QVERIFY(pasted == full && male == importedMale);
}

// In a post with text around it, after the text went through CRLF; the
// first code counts.
void TestOfficerCode::codeFoundInText()
{
    const QString code = officerCode(officerBytes(theirs(), copied));
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QString lf = officerText(theirs(), copied, big5, "\n");
    QCOMPARE(lf, "705 孫堅\n707 孫策\n709 孫權\n712 周瑜\n" + code + "\n");
    const QString crlf = officerText(theirs(), copied, big5, "\r\n");
    QCOMPARE(crlf, QString(lf).replace("\n", "\r\n"));

    for (const QString &post : {"看我的武將：\r\n" + crlf + "OFFICERS1:AAAA", "碼" + code + "。"}) {
        const CopiedOfficers found = officersFromText(post);
        QCOMPARE(found.ids, (QVector<quint16>{705, 707, 709, 712}));
        for (int i = 0; i < copied.size(); ++i)
            QCOMPARE(found.records.at(i), theirs().at(copied.at(i)));
    }
    QCOMPARE(officersFromText(lf.toLower()).status, CopiedOfficers::NoOfficers);
}

// Each fault of the bytes is refused in the program's own bytes and in the
// code, and so is each fault of the code text; nothing is pasted.
void TestOfficerCode::damagedCodesChangeNothing()
{
    const QByteArray good = officerBytes(theirs(), {5, 7});
    auto withId = [&good](quint16 id) {
        QByteArray bytes = good;
        bytes.replace(2 + 1120, 2, QByteArray(1, char(id & 0xFF)) + char(id >> 8));
        return bytes;
    };
    const QByteArray emptied = QByteArray(good).replace(4 + 1120, 9, QByteArray(9, '\0'));
    const QByteArray none(2, '\0');
    QStringList badCodes{"OFFICERS1: 705", "OFFICERS1:SGVsbG8gd29ybGQ"};
    const QString code = officerCode(good);
    for (const int cut : {1, 2, 3, 8, code.size() / 2})
        badCodes << code.chopped(cut);
    for (const QByteArray &bytes :
         {none, good + '\0', good.chopped(1), withId(699), withId(850), withId(705), emptied}) {
        QCOMPARE(officersFromBytes(bytes).status, CopiedOfficers::Damaged);
        badCodes << officerCode(bytes);
    }
    QCOMPARE(officersFromBytes(withId(849)).status, CopiedOfficers::Valid);

    for (const QString &text : qAsConst(badCodes)) {
        const CopiedOfficers found = officersFromText(text);
        QVERIFY2(found.status == CopiedOfficers::Damaged, qPrintable(text.left(40)));
        QList<QByteArray> records = theirs();
        PortraitPool male, female;
        QVERIFY(pasteOfficers(records, male, female, found)->isEmpty() && records == theirs());
    }
}

QTEST_GUILESS_MAIN(TestOfficerCode)
#include "tst_officercode.moc"
