#include "datafolder.h"
#include "editdata.h"
#include "family.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QDir>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <memory>

using namespace EditData;

namespace {

QString familyOf(const QByteArray &record)
{
    return readName(record, familyName, QTextCodec::codecForName("Big5"));
}

QByteArray officer(const char *family, const char *given, quint16 year = 170)
{
    return occupiedRecord(big5(QString::fromUtf8(family)), big5(QString::fromUtf8(given)), year);
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void singleFillsTheFirstFreeSlot();
    void singleOnAFullFile();
    void singleGender_data();
    void singleGender();
    void singleWithEmptyNames();
    void singleRefusesNamesItCannotStore_data();
    void singleRefusesNamesItCannotStore();
    void singleConvertsSimplifiedNames_data();
    void singleConvertsSimplifiedNames();
    void portraitsPerSex();

    void batchLimits();
    void batchFamilyChecks();
    void batchFamiliesExample();
    void batchEveryManAHead();
    void batchFamiliesNeverSpanPresses();
    void batchCutsLongNames();

    void fathers_data();
    void fathers();
    void fathersAgainDrawAgain();

    void wholeSession();

private:
    void openImage(const QByteArray &image);
    QList<QByteArray> saved();
    void expectWarning(const QString &text);

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DialogDriver> m_driver;
    std::unique_ptr<MainWindow> m_window;
};

void TestCommands::initTestCase()
{
    useOwnDataFolder();
}

void TestCommands::init()
{
    m_driver.reset(new DialogDriver);
    copyBundledPools(m_dir.path());
    m_window = startWindowIn(m_dir.path());
    m_path = m_dir.path() + "/editdata.rqv";
}

void TestCommands::cleanup()
{
    m_window.reset();
    m_driver.reset();
}

void TestCommands::openImage(const QByteArray &image)
{
    QVERIFY(writeFile(m_path, image));
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    QVERIFY(m_driver->takeMessages().isEmpty());
}

QList<QByteArray> TestCommands::saved()
{
    click(*m_window, "cmd_save");
    const auto messages = m_driver->takeMessages();
    if (messages.size() != 1 || messages.at(0).text != QStringLiteral("保存完成。"))
        return {};
    return recordsOf(readFile(m_path));
}

void TestCommands::expectWarning(const QString &text)
{
    const auto messages = m_driver->takeMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).kind, QStringLiteral("warning"));
    QCOMPARE(messages.at(0).title, QStringLiteral("錯誤"));
    QCOMPARE(messages.at(0).text, text);
}

void TestCommands::singleFillsTheFirstFreeSlot()
{
    QByteArray image = blankImage();
    for (int slot = 0; slot < recordCount; ++slot) {
        if (slot != 3)
            putRecord(image, slot, officer("甲", "乙"));
    }
    // Only byte 4 and bytes from 9 on set: still an empty slot.
    QByteArray hollow(recordSize, '\0');
    hollow[4] = 'x';
    hollow[9] = 'y';
    putRecord(image, 3, hollow);
    openImage(image);
    setText(*m_window, "edit_fName", "馬");
    setText(*m_window, "edit_gName", "超");
    setText(*m_window, "edit_aName", "孟起");
    click(*m_window, "cmd_generateSingle");
    QVERIFY(m_driver->takeMessages().isEmpty());
    const QStringList names = listedNames(*m_window);
    QCOMPARE(names.size(), 150);
    QCOMPARE(names.at(3), QStringLiteral("馬超(孟起)"));

    const QList<QByteArray> records = saved();
    QCOMPARE(records.size(), recordCount);
    QCOMPARE(readU16(records.at(3), birthYear), quint16(170));
    QCOMPARE(readU16(records.at(3), fatherId), quint16(0));
    QCOMPARE(records.at(3).at(9), 'y'); // the rest of the given-name field is kept
}

void TestCommands::singleOnAFullFile()
{
    QByteArray image = blankImage();
    for (int slot = 0; slot < recordCount - 1; ++slot)
        putRecord(image, slot, officer("甲", "乙"));
    openImage(image);
    setText(*m_window, "edit_gName", "丙");
    click(*m_window, "cmd_generateSingle");
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window).size(), 150);
    const QList<QByteArray> full = saved();

    setText(*m_window, "edit_gName", "丁");
    click(*m_window, "cmd_generateSingle");
    expectWarning("新武將人數已滿。");
    QCOMPARE(listedNames(*m_window).last(), QStringLiteral("丙"));
    QCOMPARE(saved(), full);
}

void TestCommands::singleGender_data()
{
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("gender");
    QTest::newRow("neither") << "" << 1;
    QTest::newRow("woman") << "radio_genderF" << 1;
    QTest::newRow("man") << "radio_genderM" << 0;
}

void TestCommands::singleGender()
{
    QFETCH(QString, checked);
    QFETCH(int, gender);
    openImage(blankImage());
    if (!checked.isEmpty())
        setChecked(*m_window, checked.toLatin1().constData());
    setText(*m_window, "edit_gName", "丙");
    click(*m_window, "cmd_generateSingle");
    const QList<QByteArray> records = saved();
    QCOMPARE(int(readU8(records.value(0), EditData::gender)), gender);
    const int style = readU8(records.value(0), styleCode);
    QVERIFY(gender ? (style >= 10 && style <= 13) : style <= 4);
}

// Without a family or given name the officer is written, yet its slot still
// counts as empty, so the next command writes over it.
void TestCommands::singleWithEmptyNames()
{
    openImage(blankImage());
    setText(*m_window, "edit_aName", "子龍");
    click(*m_window, "cmd_generateSingle");
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window), QStringList());
    QList<QByteArray> records = saved();
    QVERIFY(isEmptySlot(records.value(0)));
    QCOMPARE(records.value(0).mid(styleName, 5), big5("子龍") + '\0');
    QVERIFY(readU16(records.value(0), portrait) != 0);

    setText(*m_window, "edit_fName", "趙");
    setText(*m_window, "edit_gName", "雲");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(listedNames(*m_window), QStringList{"趙雲(子龍)"});
    records = saved();
    QVERIFY(isEmptySlot(records.value(1)));
}

void TestCommands::singleRefusesNamesItCannotStore_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("message");
    const QString cannotEncode = QStringLiteral("姓名含有Big5無法表示的字。");
    const QString tooLong = QStringLiteral("姓名過長，無法寫入。");
    QTest::newRow("kana family") << "ア"
                                 << "備"
                                 << "" << cannotEncode;
    QTest::newRow("emoji in style") << "劉"
                                    << "備" << QString::fromUcs4(U"\U0001F600") << cannotEncode;
    QTest::newRow("family of 6 bytes") << "諸葛亮"
                                       << ""
                                       << "" << tooLong;
    QTest::newRow("given of 30 bytes") << "" << QString(15, QChar(0x5099)) << "" << tooLong;
    QTest::newRow("style of 30 bytes") << ""
                                       << "" << QString(30, 'a') << tooLong;
    // Every name is checked for its characters before any for its length.
    QTest::newRow("both faults") << "諸葛亮"
                                 << ""
                                 << "ア" << cannotEncode;
    QTest::newRow("largest names")
            << "諸葛" << QString(14, QChar(0x5099)) + 'a' << QString(29, 'b') << "";
}

void TestCommands::singleRefusesNamesItCannotStore()
{
    QFETCH(QString, family);
    QFETCH(QString, given);
    QFETCH(QString, style);
    QFETCH(QString, message);
    QByteArray image = blankImage();
    putRecord(image, 1, officer("甲", "乙"));
    openImage(image);
    setText(*m_window, "edit_fName", family);
    setText(*m_window, "edit_gName", given);
    setText(*m_window, "edit_aName", style);
    click(*m_window, "cmd_generateSingle");
    if (message.isEmpty()) {
        QVERIFY(m_driver->takeMessages().isEmpty());
        const QByteArray record = saved().value(0);
        QCOMPARE(record.left(66),
                 big5(family) + '\0' + big5(given) + '\0' + big5(style) + '\0' + '\0');
        return;
    }
    expectWarning(message);
    QCOMPARE(listedNames(*m_window), QStringList{"甲乙"});
    QCOMPARE(saved().value(0), QByteArray(recordSize, '\0'));
}

void TestCommands::singleConvertsSimplifiedNames_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("written"); // the family and given names written
    QTest::addColumn<QString>("status"); // empty: refused
    const char *const cases[][4] = {
            {"赵", "云", "趙雲", "已將簡體字轉為繁體字：赵云 → 趙雲。"},
            {"范", "飞", "范飛", "已將簡體字轉為繁體字：范飞 → 范飛。"},
            {"后", "羿", "后羿", "已生成1名武將。"},
            {"赵", "か", "", ""},
    };
    for (const auto &row : cases)
        QTest::newRow(row[1]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                              << QString::fromUtf8(row[2]) << QString::fromUtf8(row[3]);
}

// A name Big5 cannot write as typed is written in traditional characters,
// and the status bar says so; a name that stays unwritable is refused.
void TestCommands::singleConvertsSimplifiedNames()
{
    QFETCH(QString, family);
    QFETCH(QString, given);
    QFETCH(QString, written);
    QFETCH(QString, status);
    openImage(blankImage());
    setText(*m_window, "edit_fName", family);
    setText(*m_window, "edit_gName", given);
    click(*m_window, "cmd_generateSingle");
    if (status.isEmpty()) {
        expectWarning(QStringLiteral("姓名含有Big5無法表示的字。"));
        QCOMPARE(saved().value(0), QByteArray(recordSize, '\0'));
        return;
    }
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(m_window->statusBar()->currentMessage(), status);
    QCOMPARE(listedNames(*m_window), QStringList{written});
    const QByteArray record = saved().value(0);
    QCOMPARE(record.left(familyNameMaxBytes + 1 + givenNameMaxBytes + 1),
             (big5(written.left(1)) + '\0').leftJustified(familyNameMaxBytes + 1, '\0')
                     + (big5(written.mid(1)) + '\0').leftJustified(givenNameMaxBytes + 1, '\0'));
}

// Generic portraits go lowest first and per sex; a number the file already
// uses is skipped.
void TestCommands::portraitsPerSex()
{
    QByteArray image = blankImage();
    QByteArray used = officer("甲", "乙");
    writeU16(used, portrait, 1131);
    putRecord(image, 0, used);
    openImage(image);
    setText(*m_window, "edit_gName", "某");
    setChecked(*m_window, "radio_genderM");
    for (int i = 0; i < 3; ++i)
        click(*m_window, "cmd_generateSingle");
    setChecked(*m_window, "radio_genderF");
    click(*m_window, "cmd_generateSingle");
    setChecked(*m_window, "radio_genderM");
    click(*m_window, "cmd_generateSingle");
    const QList<QByteArray> records = saved();
    QList<quint16> portraits;
    for (int slot = 1; slot <= 5; ++slot)
        portraits << readU16(records.value(slot), portrait);
    QCOMPARE(portraits, (QList<quint16>{1130, 1132, 1133, 1180, 1134}));
}

void TestCommands::batchLimits()
{
    QByteArray image = blankImage();
    for (int slot = 0; slot < 140; ++slot)
        putRecord(image, slot * 150 / 140, officer("甲", "乙"));
    openImage(image);
    setText(*m_window, "num_male", "6");
    setText(*m_window, "num_female", "5");
    click(*m_window, "cmd_generateAll");
    expectWarning("指定的新武將數目超過上限。");
    QCOMPARE(listedNames(*m_window).size(), 140);

    setText(*m_window, "num_male", "5");
    click(*m_window, "cmd_generateAll");
    QVERIFY(m_driver->takeMessages().isEmpty());
    QCOMPARE(listedNames(*m_window).size(), 150);
    int men = 0;
    int firstWoman = -1;
    const QList<QByteArray> records = saved();
    for (int slot = 0; slot < recordCount; ++slot) {
        const QByteArray &record = records.at(slot);
        if (readU16(record, birthYear) != 170 || familyOf(record) == QStringLiteral("甲"))
            continue;
        if (readU8(record, gender) == 0) {
            ++men;
            QVERIFY(firstWoman < 0); // men first, then women
        } else if (firstWoman < 0) {
            firstWoman = slot;
        }
        QCOMPARE(readU16(record, fatherId), quint16(0));
        QCOMPARE(readU8(record, styleName), quint8(0));
    }
    QCOMPARE(men, 5);
    QVERIFY(firstWoman > 0);

    // Nothing asked for: nothing made, no message.
    setText(*m_window, "num_male", "");
    setText(*m_window, "num_female", "");
    click(*m_window, "cmd_generateAll");
    QVERIFY(m_driver->takeMessages().isEmpty());
}

void TestCommands::batchFamilyChecks()
{
    openImage(blankImage());
    setText(*m_window, "num_jiazu", "3");
    setText(*m_window, "num_male", "2");
    setChecked(*m_window, "chk_family");
    click(*m_window, "cmd_generateAll");
    expectWarning("指定的男武將數量小於家族數，無法繼續。");
    QCOMPARE(listedNames(*m_window), QStringList());

    // Both faults at once: only the limit is reported.
    setText(*m_window, "num_female", "149");
    click(*m_window, "cmd_generateAll");
    expectWarning("指定的新武將數目超過上限。");

    // Unchecked, the family count is ignored and no father is set; checked
    // with no families, the same.
    setText(*m_window, "num_female", "");
    for (bool checkedWithZero : {false, true}) {
        setChecked(*m_window, "chk_family", checkedWithZero);
        if (checkedWithZero)
            setText(*m_window, "num_jiazu", "0");
        click(*m_window, "cmd_generateAll");
        QVERIFY(m_driver->takeMessages().isEmpty());
    }
    const QList<QByteArray> records = saved();
    for (int slot = 0; slot < 4; ++slot) {
        QVERIFY(!isEmptySlot(records.value(slot)));
        QCOMPARE(readU16(records.value(slot), birthYear), quint16(170));
        QCOMPARE(readU16(records.value(slot), fatherId), quint16(0));
    }
    QVERIFY(isEmptySlot(records.value(4)));
}

void TestCommands::batchFamiliesExample()
{
    QByteArray image = blankImage();
    for (int slot = 0; slot < 10; ++slot) {
        if (slot != 2 && slot != 5)
            putRecord(image, slot, officer("甲", "乙"));
    }
    openImage(image);
    setChecked(*m_window, "chk_family");
    setText(*m_window, "num_jiazu", "1");
    setText(*m_window, "num_male", "2");
    setText(*m_window, "num_female", "1");
    click(*m_window, "cmd_generateAll");
    QVERIFY(m_driver->takeMessages().isEmpty());
    const QList<QByteArray> records = saved();
    const QByteArray &head = records.value(2);
    QCOMPARE(readU16(head, birthYear), quint16(150));
    QCOMPARE(readU16(head, fatherId), quint16(0));
    QCOMPARE(readU8(head, gender), quint8(0));
    for (int slot : {5, 10}) {
        QCOMPARE(readU16(records.value(slot), birthYear), quint16(170));
        QCOMPARE(readU16(records.value(slot), fatherId), quint16(702));
        QCOMPARE(readU16(records.value(slot), fatherId2), quint16(702));
        QCOMPARE(familyOf(records.value(slot)), familyOf(head));
    }
    QCOMPARE(readU8(records.value(10), gender), quint8(1));
    QVERIFY(isEmptySlot(records.value(11)));
}

void TestCommands::batchEveryManAHead()
{
    openImage(blankImage());
    setChecked(*m_window, "chk_family");
    setText(*m_window, "num_jiazu", "4");
    setText(*m_window, "num_male", "4");
    setText(*m_window, "num_female", "20");
    click(*m_window, "cmd_generateAll");
    const QList<QByteArray> records = saved();
    for (int slot = 0; slot < 4; ++slot) {
        QCOMPARE(readU16(records.value(slot), birthYear), quint16(150));
        QCOMPARE(readU8(records.value(slot), gender), quint8(0));
    }
    for (int slot = 4; slot < 24; ++slot) {
        const QByteArray &daughter = records.value(slot);
        QCOMPARE(readU8(daughter, gender), quint8(1));
        const int father = readU16(daughter, fatherId) - officerIdBase;
        QVERIFY(father >= 0 && father < 4);
        QCOMPARE(familyOf(daughter), familyOf(records.value(father)));
    }
}

void TestCommands::batchFamiliesNeverSpanPresses()
{
    openImage(blankImage());
    setChecked(*m_window, "chk_family");
    setText(*m_window, "num_jiazu", "2");
    setText(*m_window, "num_male", "5");
    click(*m_window, "cmd_generateAll");
    setText(*m_window, "num_jiazu", "1");
    setText(*m_window, "num_male", "4");
    click(*m_window, "cmd_generateAll");
    setChecked(*m_window, "chk_family", false);
    setText(*m_window, "num_male", "3");
    click(*m_window, "cmd_generateAll");
    const QList<QByteArray> records = saved();
    for (int slot = 2; slot < 5; ++slot)
        QVERIFY(QSet<int>({700, 701}).contains(readU16(records.value(slot), fatherId)));
    for (int slot = 6; slot < 9; ++slot)
        QCOMPARE(readU16(records.value(slot), fatherId), quint16(705));
    for (int slot = 9; slot < 12; ++slot)
        QCOMPARE(readU16(records.value(slot), fatherId), quint16(0));
}

// Drawn names that do not fit are cut at a character boundary; a name is
// ended by its zero byte even over the leftovers of another.
void TestCommands::batchCutsLongNames()
{
    QTemporaryDir pools;
    QVERIFY(writeFile(pools.path() + "/familyName.dat", "歐陽修,a\r\n"));
    QVERIFY(writeFile(pools.path() + "/boyName.dat",
                      QString(20, QChar(0x5099)).toUtf8() + ",a\r\n"));
    QVERIFY(writeFile(pools.path() + "/girlName.dat", "x,a\r\n"));
    m_window = startWindowIn(pools.path());
    QVERIFY(m_driver->takeMessages().isEmpty());

    QByteArray image = blankImage();
    QByteArray leftovers(recordSize, 'z');
    leftovers.replace(0, 9, QByteArray(9, '\0'));
    putRecord(image, 0, leftovers);
    openImage(image);
    setText(*m_window, "num_male", "1");
    click(*m_window, "cmd_generateAll");
    const QByteArray record = saved().value(0);
    QCOMPARE(record.left(5), big5("歐陽") + '\0');
    QCOMPARE(record.mid(5, 30), big5(QString(14, QChar(0x5099))) + '\0' + 'z');
    QCOMPARE(record.mid(35, 30), QByteArray(30, 'z')); // no style name written
    QCOMPARE(listedNames(*m_window).value(0).left(16),
             QStringLiteral("歐陽") + QString(14, QChar(0x5099)));
}

void TestCommands::fathers_data()
{
    QTest::addColumn<QList<QByteArray>>("officers");
    QTest::addColumn<QList<int>>("expected"); // father slot per officer, -1 for none

    QTest::newRow("elder and younger")
            << QList<QByteArray>{officer("曹", "操", 150), officer("曹", "丕", 170)}
            << QList<int>{-1, 0};
    QTest::newRow("15 years qualify, 14 do not")
            << QList<QByteArray>{officer("孫", "堅", 155), officer("孫", "策", 170),
                                 officer("孫", "權", 169)}
            << QList<int>{-1, 0, -1};
    QTest::newRow("same year") << QList<QByteArray>{officer("關", "羽", 160),
                                                    officer("關", "平", 160)}
                               << QList<int>{-1, -1};
    QTest::newRow("one character apart")
            << QList<QByteArray>{officer("司馬", "懿", 150), officer("司徒", "允", 170)}
            << QList<int>{-1, -1};
    QTest::newRow("the younger officer first")
            << QList<QByteArray>{officer("張", "苞", 190), QByteArray(recordSize, '\0'),
                                 officer("張", "飛", 165)}
            << QList<int>{2, -1, -1};
    QByteArray mother = officer("黃", "月英", 150);
    mother[gender] = 1;
    QTest::newRow("a woman as father")
            << QList<QByteArray>{mother, officer("黃", "承", 170)} << QList<int>{-1, 0};
    // Born in the first years of the calendar: nobody fathers himself.
    QTest::newRow("early years") << QList<QByteArray>{officer("甲", "子", 0),
                                                      officer("甲", "丑", 14),
                                                      officer("甲", "寅", 15)}
                                 << QList<int>{-1, -1, 0};
}

void TestCommands::fathers()
{
    QFETCH(QList<QByteArray>, officers);
    QFETCH(QList<int>, expected);
    QByteArray image = blankImage();
    for (int slot = 0; slot < officers.size(); ++slot) {
        QByteArray record = officers.at(slot);
        writeU16(record, fatherId, 0x4242);
        writeU16(record, fatherId2, 0x4343);
        putRecord(image, slot, record);
    }
    // An empty slot that would qualify by name and year takes no part.
    QByteArray hollow = officer("曹", "", 100);
    hollow.replace(0, 4, QByteArray(4, '\0'));
    putRecord(image, 149, hollow);
    openImage(image);
    click(*m_window, "cmd_assignFather");
    QVERIFY(m_driver->takeMessages().isEmpty());
    const QList<QByteArray> records = saved();
    for (int slot = 0; slot < officers.size(); ++slot) {
        const quint16 father = expected.at(slot) < 0 ? 0x4242 : 700 + expected.at(slot);
        const quint16 father2 = expected.at(slot) < 0 ? 0x4343 : 700 + expected.at(slot);
        if (officers.at(slot).count('\0') == recordSize)
            continue;
        QCOMPARE(readU16(records.value(slot), fatherId), father);
        QCOMPARE(readU16(records.value(slot), fatherId2), father2);
    }
    QCOMPARE(readU16(records.value(149), fatherId), quint16(0));
}

// With several candidates the choice is random and can change on a second
// run; every choice is a candidate.
void TestCommands::fathersAgainDrawAgain()
{
    QByteArray image = blankImage();
    for (int slot = 0; slot < 20; ++slot)
        putRecord(image, slot, officer("劉", "某", slot < 10 ? 150 : 170));
    openImage(image);
    QSet<QByteArray> outcomes;
    for (int run = 0; run < 3; ++run) {
        click(*m_window, "cmd_assignFather");
        const QList<QByteArray> records = saved();
        QByteArray fathers;
        for (int slot = 0; slot < 20; ++slot) {
            const int father = readU16(records.value(slot), fatherId);
            if (slot < 10)
                QCOMPARE(father, 0);
            else
                QVERIFY(father >= 700 && father < 710);
            fathers.append(char(father - 700));
        }
        outcomes.insert(fathers);
    }
    QVERIFY(outcomes.size() > 1);
}

void TestCommands::wholeSession()
{
    QByteArray image = blankImage();
    for (int i = 0; i < image.size(); i += 97)
        image[i] = char(i % 251);
    for (int slot = 0; slot < recordCount; ++slot)
        putRecord(image, slot, QByteArray(recordSize, '\0'));
    putRecord(image, 0, officer("諸葛", "瑾", 140));
    openImage(image);
    QCOMPARE(listedNames(*m_window), QStringList{"諸葛瑾"});

    setChecked(*m_window, "chk_family");
    setText(*m_window, "num_jiazu", "3");
    setText(*m_window, "num_male", "20");
    setText(*m_window, "num_female", "10");
    click(*m_window, "cmd_generateAll");
    QCOMPARE(listedNames(*m_window).size(), 31);

    setText(*m_window, "edit_fName", "諸葛");
    setText(*m_window, "edit_gName", "亮");
    setText(*m_window, "edit_aName", "孔明");
    setChecked(*m_window, "radio_genderM");
    click(*m_window, "cmd_generateSingle");
    QCOMPARE(listedNames(*m_window).size(), 32);
    QCOMPARE(listedNames(*m_window).last(), QStringLiteral("諸葛亮(孔明)"));

    click(*m_window, "cmd_assignFather");
    QVERIFY(m_driver->takeMessages().isEmpty());
    const QStringList before = listedNames(*m_window);
    const QList<QByteArray> records = saved();
    QCOMPARE(readU16(records.value(31), fatherId), quint16(700));
    // Every child of the batch now has a namesake born at least 15 years
    // earlier as its father: its head, or another officer of that name.
    for (int slot = 4; slot < 31; ++slot) {
        const int father = readU16(records.value(slot), fatherId) - officerIdBase;
        QVERIFY(father >= 0 && father < recordCount);
        QCOMPARE(familyOf(records.value(father)), familyOf(records.value(slot)));
        QVERIFY(readU16(records.value(father), birthYear) + 15
                <= readU16(records.value(slot), birthYear));
    }
    const QByteArray file = readFile(m_path);
    QCOMPARE(file.left(recordAreaOffset), image.left(recordAreaOffset));
    QCOMPARE(file.mid(recordAreaEnd), image.mid(recordAreaEnd));

    // Reopened, the list is the same.
    m_driver->planFileDialog(m_path);
    click(*m_window, "cmd_open");
    QCOMPARE(listedNames(*m_window), before);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
