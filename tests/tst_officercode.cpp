// Officers copied as bytes and as a text code, and pasted into other records.

#include "importofficers.h"
#include "officercode.h"
#include "records.h"

#include <QTest>
#include <QTextCodec>

#include <zlib.h>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace EditData;

namespace {

// 孫堅; his sons 孫策 and 孫權, whose second field names him and whose first
// names an officer who is not copied; 周瑜. Every byte not set differs from
// its neighbours, so that a byte lost on the way shows.
QList<QByteArray> theirs()
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[5] = patternedRecord("孫", "堅", 0, 150, 1130, noFather);
    records[7] = patternedRecord("孫", "策", 0, 170, 1132, 705);
    records[9] = patternedRecord("孫", "權", 0, 170, 1132, 760);
    writeU16(records[9], fatherId2, 705);
    records[12] = patternedRecord("周", "瑜", 0, 170, 500, noFather);
    return records;
}

const QVector<int> copied{5, 7, 9, 12};

} // namespace

class TestOfficerCode : public QObject
{
    Q_OBJECT

private slots:
    void inflatingCodeRefusedWithinTheBound();
    void copyAndPaste();
    void damagedCodesChangeNothing();
};

// A code's data is unpacked no further than a whole file's officers: a code
// that would grow to 128 MB is refused having taken no more memory than
// that, and data of exactly the bound is whole.
void TestOfficerCode::inflatingCodeRefusedWithinTheBound()
{
    const QByteArray zeros(1 << 20, '\0');
    QByteArray stream(1 << 20, Qt::Uninitialized);
    z_stream deflater = {};
    QCOMPARE(deflateInit(&deflater, Z_BEST_COMPRESSION), Z_OK);
    deflater.next_out = reinterpret_cast<Bytef *>(stream.data());
    deflater.avail_out = uInt(stream.size());
    for (int megabyte = 0; megabyte < 128; ++megabyte) {
        deflater.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        deflater.avail_in = uInt(zeros.size());
        QCOMPARE(deflate(&deflater, megabyte == 127 ? Z_FINISH : Z_NO_FLUSH),
                 megabyte == 127 ? Z_STREAM_END : Z_OK);
    }
    stream.truncate(int(deflater.total_out));
    deflateEnd(&deflater);
    const QString code = QLatin1String(codePrefix)
                         + QString::fromLatin1(stream.toBase64(QByteArray::Base64UrlEncoding
                                                               | QByteArray::OmitTrailingEquals));
#ifdef Q_OS_UNIX
    rusage before;
    getrusage(RUSAGE_SELF, &before);
#endif
    QCOMPARE(officersFromText(code).status, CopiedOfficers::Damaged);
#ifdef Q_OS_UNIX
    rusage after;
    getrusage(RUSAGE_SELF, &after);
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 32 * 1024,
             qPrintable(QString::number(after.ru_maxrss - before.ru_maxrss)));
#endif

    const QByteArray bytes = officerBytes(theirs(), copied);
    const QByteArray whole = qCompress(bytes).mid(4);
    QCOMPARE(inflateAtMost(whole, bytes.size()), std::optional<QByteArray>(bytes));
    QVERIFY(!inflateAtMost(whole, bytes.size() - 1));
}

// The bytes, their code and the text around it; a paste that fits, and one
// that does not.
void TestOfficerCode::copyAndPaste()
{
    const QByteArray bytes = officerBytes(theirs(), {12, 9, 5, 3, 7, 7});
    QCOMPARE(bytes.size(), 2 + 4 * 1120);
    QCOMPARE(bytes.left(4), QByteArray("\x04\x00\xc1\x02", 4)); // 4 officers, the first 705
    const QString code = officerCode(bytes);
    QVERIFY(code.startsWith("OFFICERS1:") && !code.contains('='));
    QCOMPARE(QByteArray::fromBase64(code.mid(10).toLatin1(), QByteArray::Base64UrlEncoding).at(0),
             '\x78'); // a bare zlib stream
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QString lf = officerText(theirs(), copied, big5, "\n");
    QCOMPARE(lf, "705 孫堅\n707 孫策\n709 孫權\n712 周瑜\n" + code + "\n");
    const QString crlf = QString(lf).replace("\n", "\r\n");
    QCOMPARE(officerText(theirs(), copied, big5, "\r\n"), crlf);
    // In a post, after the text went through CRLF; the first code counts.
    for (const QString &post : {"看我的武將：\r\n" + crlf + "OFFICERS1:AAAA", "碼" + code + "。"})
        QCOMPARE(officersFromText(post).ids, (QVector<quint16>{705, 707, 709, 712}));
    QCOMPARE(officersFromText(lf.toLower()).status, CopiedOfficers::NoOfficers);

    QList<QByteArray> pasted = recordsOf(blankImage());
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

// Each fault of the bytes is refused in the program's own bytes and in the
// code, and so is each fault of the code text; nothing is pasted.
void TestOfficerCode::damagedCodesChangeNothing()
{
    const QByteArray good = officerBytes(theirs(), {5, 7});
    auto withId = [&good](quint16 id) {
        QByteArray bytes = good;
        writeU16(bytes, 2 + 1120, id);
        return bytes;
    };
    const QByteArray emptied = QByteArray(good).replace(4 + 1120, 9, QByteArray(9, '\0'));
    QStringList badCodes{"OFFICERS1: 705", "OFFICERS1:SGVsbG8gd29ybGQ"};
    const QString code = officerCode(good);
    for (const int cut : {1, 2, 3, 8, code.size() / 2})
        badCodes << code.chopped(cut);
    for (const QByteArray &bytes : {QByteArray(2, '\0'), good + '\0', good.chopped(1), withId(699),
                                    withId(850), withId(705), emptied}) {
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
