#include "editdata.h"
#include "importofficers.h"
#include "officerdetails.h"
#include "officerdialog.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextCodec>
#include <QWindow>

using namespace EditData;

namespace {

// Slot 1: 劉弘; slot 2: 劉備(玄德), his son, with every shown field distinct;
// slot 4: 張飛, whose father field is set per test; slot 5 empty.
QList<QByteArray> family(quint16 fatherOfSlot4 = noFather)
{
    QList<QByteArray> records = recordsOf(blankImage());
    records[1] = occupiedRecord(big5(QStringLiteral("劉")), big5(QStringLiteral("弘")), 140, 3);
    QByteArray &bei = records[2];
    bei = occupiedRecord(big5(QStringLiteral("劉")), big5(QStringLiteral("備")), 161, 1130);
    bei.replace(styleName, 5, big5(QStringLiteral("玄德")) + '\0');
    bei.replace(abilities, 7, "\x47\x52\x5d\x40\x03\x02\x01", 7);
    bei.replace(skillsA, 10, "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09", 10);
    bei.replace(skillsB, 10, "\x09\x08\x07\x06\x05\x04\x03\x02\x01\x00", 10);
    writeU8(bei, characterCode, 2);
    writeU16(bei, fatherId, 701);
    writeU16(bei, fatherId2, 701);
    records[4] = occupiedRecord(big5(QStringLiteral("張")), big5(QStringLiteral("飛")), 167, 1200);
    writeU8(records[4], gender, 1);
    writeU16(records[4], fatherId, fatherOfSlot4);
    return records;
}

} // namespace

class TestOfficers : public QObject
{
    Q_OBJECT

private slots:
    void knownOfficer();
    void father_data();
    void father();
    void portraitKinds();
    void hostileRecord();
    void dialog();
    void removal_data();
    void removal();
};

void TestOfficers::knownOfficer()
{
    const OfficerDetails d = officerDetails(family(), 2, QTextCodec::codecForName("Big5"));
    QCOMPARE(d.id, 702);
    QCOMPARE(d.title, QStringLiteral("劉備(玄德)"));
    QCOMPARE(d.familyName + '|' + d.givenName + '|' + d.styleName, QStringLiteral("劉|備|玄德"));
    QCOMPARE(d.sex, QStringLiteral("男"));
    QCOMPARE(d.birthYear, 161);
    QCOMPARE(d.portrait, 1130);
    QCOMPARE(d.portraitKind, QStringLiteral("通用"));
    QCOMPARE(d.abilities, QVector<int>({71, 82, 93, 64}));
    QCOMPARE(d.aptitudes, QVector<int>({3, 2, 1}));
    QCOMPARE(d.skillsA, QVector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QCOMPARE(d.skillsB, QVector<int>({9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    QCOMPARE(d.characterCode, 2);
    QCOMPARE(d.father, QStringLiteral("701 劉弘"));
    QCOMPARE(officerDetails(family(), 4, QTextCodec::codecForName("Big5")).sex,
             QStringLiteral("女"));
}

void TestOfficers::father_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("none") << int(noFather) << QStringLiteral("無");
    QTest::newRow("blank file") << 0 << QStringLiteral("0");
    QTest::newRow("below the IDs") << 699 << QStringLiteral("699");
    QTest::newRow("above the IDs") << 850 << QStringLiteral("850");
    QTest::newRow("empty slot") << 705 << QStringLiteral("705");
    QTest::newRow("himself") << 704 << QStringLiteral("704 張飛");
    QTest::newRow("with style name") << 702 << QStringLiteral("702 劉備");
}

void TestOfficers::father()
{
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QCOMPARE(officerDetails(family(quint16(stored)), 4, QTextCodec::codecForName("Big5")).father,
             shown);
}

void TestOfficers::portraitKinds()
{
    QCOMPARE(portraitKind(1265), QStringLiteral("通用"));
    QCOMPARE(portraitKind(991), QStringLiteral("歷史"));
    for (const quint16 number : {0, 1012, 1129, 1266})
        QCOMPARE(portraitKind(number), QStringLiteral("其他"));
}

void TestOfficers::hostileRecord()
{
    QList<QByteArray> records = family();
    QByteArray &record = records[0];
    record.fill('\xff');
    record.replace(givenName, 3, "\x80\x81\0", 3);
    record.replace(styleName, 4, "\0\0\0\0", 4);
    const OfficerDetails d = officerDetails(records, 0, QTextCodec::codecForName("Big5"));
    // The family name has no zero byte and runs on into the given name.
    QCOMPARE(d.familyName, fromBig5("\xff\xff\xff\xff\xff\x80\x81"));
    QCOMPARE(d.title, d.familyName + d.givenName);
    QCOMPARE(d.sex, QStringLiteral("255"));
    QCOMPARE(d.portrait, 65535);
    QCOMPARE(d.portraitKind, QStringLiteral("其他"));
    QCOMPARE(d.aptitudes, QVector<int>(3, 255));
    QCOMPARE(d.skillsB, QVector<int>(10, 255));
    QCOMPARE(d.father, QStringLiteral("無"));

    const OfficerDetails noCodec = officerDetails(records, 2, nullptr);
    QVERIFY(noCodec.familyName.isEmpty() && noCodec.styleName.isEmpty());
    QCOMPARE(noCodec.father, QStringLiteral("701"));
    QCOMPARE(officerDetails(records, 150, QTextCodec::codecForName("Big5")).id, 0);
    QCOMPARE(officerDetails(records, -1, QTextCodec::codecForName("Big5")).id, 0);
}

void TestOfficers::dialog()
{
    QList<QByteArray> records = family();
    OfficerDialog dialog(records, 2);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("劉備(玄德)"));
    QStringList shown;
    shown << dialog.findChild<QLabel *>("label_id")->text()
          << dialog.findChild<QLineEdit *>("edit_styleName")->text()
          << dialog.findChild<QComboBox *>("combo_portrait")->currentText()
          << dialog.findChild<QSpinBox *>("spin_skillB2")->text()
          << dialog.findChild<QSpinBox *>("spin_character")->text()
          << dialog.findChild<QComboBox *>("combo_father")->currentText();
    QCOMPARE(shown, QStringList({"702", "玄德", "1130（通用）", "8", "2", "701 劉弘"}));

    // Names are shown as they are, never as markup or as the modified mark.
    records[2].replace(givenName, 10, QByteArray("<b>[*]</b>"));
    OfficerDialog hostile(records, 2);
    hostile.winId();
    QCOMPARE(hostile.windowHandle()->title(), QStringLiteral("劉<b>[*]</b>(玄德)"));
    for (const QLabel *label : hostile.findChildren<QLabel *>(QRegularExpression("^label_")))
        QCOMPARE(label->textFormat(), Qt::PlainText);
    auto *buttons = hostile.findChild<QDialogButtonBox *>();
    QSignalSpy closed(&hostile, &QDialog::rejected);
    buttons->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(hostile.record(), records.at(2));
}

void TestOfficers::removal_data()
{
    QTest::addColumn<QVector<int>>("removed");
    QTest::addColumn<QVector<int>>("cleared");
    QTest::addColumn<QVector<int>>("unlinked");
    QTest::newRow("father") << QVector<int>{1} << QVector<int>{1} << QVector<int>{2, 3};
    QTest::newRow("several, repeated, out of range")
            << QVector<int>{4, 1, 4, -1, 150} << QVector<int>{1, 4} << QVector<int>{2, 3, 6};
    QTest::newRow("nothing") << QVector<int>{-1, 150} << QVector<int>{} << QVector<int>{};
}

void TestOfficers::removal()
{
    QFETCH(QVector<int>, removed);
    QFETCH(QVector<int>, cleared);
    QFETCH(QVector<int>, unlinked);
    // Slot 2 is the son of 701 in both fields, slot 3 in the second only,
    // slot 6 of 704 in the first only, slot 7 of 705, an empty slot. Empty
    // slot 5 holds stale bytes and a link to 701.
    QList<QByteArray> records = family(704);
    records[3] = occupiedRecord("A", "B");
    writeU16(records[3], fatherId2, 701);
    records[5] = QByteArray(givenName + 4, '\0') + QByteArray(recordSize - givenName - 4, '\x07');
    writeU16(records[5], fatherId, 701);
    records[6] = occupiedRecord("C", "D");
    writeU16(records[6], fatherId, 704);
    records[7] = occupiedRecord("E", "F");
    writeU16(records[7], fatherId, 705);

    QList<QByteArray> expected = records;
    for (const int slot : cleared)
        expected[slot] = QByteArray(recordSize, '\0');
    for (const int slot : unlinked) {
        writeU16(expected[slot], fatherId, noFather);
        writeU16(expected[slot], fatherId2, noFather);
    }
    removeOfficers(records, removed);
    QCOMPARE(records, expected);
}

QTEST_MAIN(TestOfficers)
#include "tst_officers.moc"
