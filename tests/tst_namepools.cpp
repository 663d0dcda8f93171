#include "big5.h"
#include "datafolder.h"
#include "mainwindow.h"
#include "namepools.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

class TestNamePools : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parsing_data();
    void parsing();
    void parsingIsFastOnLargePools();
    void missingFilesStopLoading_data();
    void missingFilesStopLoading();
    void bundledPoolsAreValid_data();
    void bundledPoolsAreValid();
    void fittingCutsAtCharacterBoundaries();
    void installedFolderOnlyWhenTheWorkingFolderHasNoPool();
    void installedPoolsLieWhereThePackagesPutThem();
};

void TestNamePools::initTestCase()
{
    useOwnDataFolder();
}

void TestNamePools::parsing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("name and reading")
            << QByteArray("劉,りゅう\r\n張,ちょう\r\n") << QStringList{"劉", "張"};
    QTest::newRow("duplicates keep first place")
            << QByteArray("劉,りゅう\r\n張,ちょう\r\n劉,る\r\n關,かん\r\n張,ちょう\r\n")
            << QStringList{"劉", "張", "關"};
    QTest::newRow("space before comma is part of the name")
            << QByteArray("劉,a\r\n劉 ,b\r\n") << QStringList{"劉", "劉 "};
    QTest::newRow("leading comma gives the empty name once")
            << QByteArray(",a\r\n,b\r\n") << QStringList{""};
    QTest::newRow("no comma keeps the line break")
            << QByteArray("劉\r\n\r\n\r\n") << QStringList{"劉\r\n", "\r\n"};
    QTest::newRow("only the first comma counts") << QByteArray("a,b,c\r\n") << QStringList{"a"};
    QTest::newRow("last line without line break")
            << QByteArray("劉,a\r\n張,b") << QStringList{"劉", "張"};
    QTest::newRow("last line without comma or break")
            << QByteArray("劉,a\r\n張") << QStringList{"劉", "張"};
    QTest::newRow("bare LF ends a line") << QByteArray("劉,a\n張,b\n") << QStringList{"劉", "張"};
    QTest::newRow("text after a NUL is ignored")
            << QByteArray("劉\0,x\r\n張,b\r\n", 14) << QStringList{"劉", "張"};
    QTest::newRow("NUL before the comma keeps no line break")
            << QByteArray("ab\0cd\r\n", 7) << QStringList{"ab"};
    QTest::newRow("invalid UTF-8 becomes replacement characters")
            << QByteArray("\xff\xfe,x\r\n") << QStringList{QString(2, QChar(0xFFFD))};
    QTest::newRow("case matters") << QByteArray("Li,a\r\nli,b\r\n") << QStringList{"Li", "li"};
}

void TestNamePools::parsing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QCOMPARE(Names::parseNamePool(bytes), names);
}

void TestNamePools::parsingIsFastOnLargePools()
{
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "名" + QByteArray::number(i) + ",めい\r\n";
    bytes += "名5,again\r\n";
    QElapsedTimer timer;
    timer.start();
    const QStringList names = Names::parseNamePool(bytes);
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(names.size(), 100000);
    QCOMPARE(names.at(99999), QStringLiteral("名99999"));
    // A quadratic duplicate check takes minutes here; generous for sanitizer builds.
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
}

void TestNamePools::missingFilesStopLoading_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("familyLoaded");
    QTest::addColumn<bool>("boysLoaded");

    QTest::newRow("family") << "familyName.dat"
                            << "無法打開familyName.dat。" << false << false;
    QTest::newRow("boys") << "boyName.dat"
                          << "無法打開boyName.dat。" << true << false;
    QTest::newRow("girls") << "girlName.dat"
                           << "無法打開girlName.dat。" << true << true;
    QTest::newRow("none") << ""
                          << "" << true << true;
}

// Loading stops at the first file that cannot be opened; the pools show
// through batch generation, which refuses to draw from an empty pool.
void TestNamePools::missingFilesStopLoading()
{
    QFETCH(QString, missing);
    QFETCH(QString, message);
    QFETCH(bool, familyLoaded);
    QFETCH(bool, boysLoaded);

    QTemporaryDir dir;
    copyBundledPools(dir.path());
    if (!missing.isEmpty())
        QVERIFY(QFile::remove(dir.path() + "/" + missing));
    // A folder of the same name cannot be opened as a file either.
    if (missing == "boyName.dat")
        QVERIFY(QDir(dir.path()).mkdir(missing));
    const QString image = dir.path() + "/editdata.rqv";
    QVERIFY(writeFile(image, blankImage()));

    DialogDriver driver;
    const std::unique_ptr<MainWindow> started = startWindowIn(dir.path());
    MainWindow &window = *started;
    QVERIFY(window.isVisible());
    const auto startMessages = driver.takeMessages();
    if (missing.isEmpty()) {
        QVERIFY(startMessages.isEmpty());
    } else {
        QCOMPARE(startMessages.size(), 1);
        QCOMPARE(startMessages.at(0).kind, QStringLiteral("warning"));
        QCOMPARE(startMessages.at(0).title, QStringLiteral("錯誤"));
        QCOMPARE(startMessages.at(0).text, message);
    }

    driver.planFileDialog(image);
    click(window, "cmd_open");
    const QString emptyPool = QStringLiteral("名字庫為空，無法隨機生成。");
    auto tryBatch = [&](const char *men, const char *women) {
        setText(window, "num_male", men);
        setText(window, "num_female", women);
        click(window, "cmd_generateAll");
        const auto messages = driver.takeMessages();
        return messages.isEmpty() ? QString() : messages.last().text;
    };
    QCOMPARE(tryBatch("1", "0"), familyLoaded && boysLoaded ? QString() : emptyPool);
    QCOMPARE(tryBatch("0", "1"), missing.isEmpty() ? QString() : emptyPool);
    QCOMPARE(tryBatch("0", "0"), QString());
}

void TestNamePools::bundledPoolsAreValid_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maxBytes");
    QTest::newRow("family") << "familyName.dat" << 120 << 4;
    QTest::newRow("boys") << "boyName.dat" << 200 << 2;
    QTest::newRow("girls") << "girlName.dat" << 200 << 2;
}

void TestNamePools::bundledPoolsAreValid()
{
    QFETCH(QString, file);
    QFETCH(int, minimum);
    QFETCH(int, maxBytes);

    const QByteArray bytes =
            readFile(QString::fromLocal8Bit(qgetenv("OFFICER_DATA_DIR")) + "/" + file);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
    QVERIFY(bytes.endsWith("\r\n"));
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    QVERIFY(codec);

    QList<QByteArray> lines = bytes.split('\n');
    QVERIFY(lines.takeLast().isEmpty());
    QSet<QString> names;
    int twoCharacter = 0;
    for (const QByteArray &line : lines) {
        QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, line.constData());
        const QString text = QString::fromUtf8(line.chopped(1));
        QVERIFY2(text.toUtf8() == line.chopped(1), line.constData());
        const QStringList fields = text.split(',');
        QCOMPARE(fields.size(), 2);
        const QString name = fields.at(0);
        const QString reading = fields.at(1);
        QVERIFY2(!name.isEmpty() && !reading.isEmpty(), line.constData());
        for (QChar c : reading)
            QVERIFY2(c >= QChar(0x3041) && c <= QChar(0x30FC), line.constData());
        QVERIFY2(Names::encodesExactly(name, codec), line.constData());
        const int size = codec->fromUnicode(name).size();
        QVERIFY2(size <= maxBytes, line.constData());
        twoCharacter += name.size() == 2 ? 1 : 0;
        QVERIFY2(!names.contains(name), line.constData());
        names.insert(name);
    }
    QVERIFY(names.size() >= minimum);
    if (file == "familyName.dat") {
        // About a tenth of the family names take two characters.
        QVERIFY(twoCharacter * 20 >= names.size() && twoCharacter * 6 <= names.size());
    }
    QCOMPARE(Names::parseNamePool(bytes).size(), names.size());
}

void TestNamePools::fittingCutsAtCharacterBoundaries()
{
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    QCOMPARE(Names::fitName(QStringLiteral("諸葛"), codec, 4), big5(QStringLiteral("諸葛")));
    QCOMPARE(Names::fitName(QStringLiteral("諸葛亮"), codec, 4), big5(QStringLiteral("諸葛")));
    // Five bytes of room hold two characters, never half of a third.
    QCOMPARE(Names::fitName(QStringLiteral("諸葛亮"), codec, 5), big5(QStringLiteral("諸葛")));
    QCOMPARE(Names::fitName(QStringLiteral("a諸葛"), codec, 4), QByteArray("a") + big5("諸"));
    QCOMPARE(Names::fitName(QString(), codec, 4), QByteArray());
    // What Big5 cannot encode is written as a question mark.
    const QString emoji = QString::fromUcs4(U"劉\U0001F600");
    QVERIFY(!Names::encodesExactly(emoji, codec));
    QCOMPARE(Names::fitName(emoji, codec, 29), big5(QStringLiteral("劉")) + '?');
    QVERIFY(!Names::encodesExactly(QStringLiteral("刘"), codec));
    QVERIFY(Names::encodesExactly(QStringLiteral("劉備 a?"), codec));
    QVERIFY(!Names::encodesExactly(QStringLiteral("劉"), nullptr));
}

// The installed folder is used only when the working folder holds none of
// the three files; one file there is enough to keep the working folder, with
// its warnings for the others.
void TestNamePools::installedFolderOnlyWhenTheWorkingFolderHasNoPool()
{
    QTemporaryDir working;
    QTemporaryDir installed;
    const QString missing = installed.path() + "/missing";
    QCOMPARE(Names::poolFolder(working.path(), installed.path()), installed.path());
    QCOMPARE(Names::poolFolder(working.path(), missing), working.path());
    for (const char *pool : Names::poolFiles) {
        QTemporaryDir one;
        QVERIFY(writeFile(one.path() + "/" + pool, "甲,\r\n"));
        QCOMPARE(Names::poolFolder(one.path(), installed.path()), one.path());
    }
}

// Windows: beside the .exe, as the zip and the installer lay them out;
// elsewhere in share/officer-maker beside the bin folder.
void TestNamePools::installedPoolsLieWhereThePackagesPutThem()
{
    QTemporaryDir root;
#ifdef Q_OS_WIN
    const QString program = root.path() + "/龍旗";
    const QString pools = program;
#else
    const QString program = root.path() + "/bin";
    const QString pools = root.path() + "/share/officer-maker";
#endif
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(pools));
    for (const char *pool : Names::poolFiles)
        QVERIFY(writeFile(pools + "/" + pool, "甲,\r\n"));
    QTemporaryDir working;
    const QDir folder(Names::poolFolder(working.path(), Names::installedPoolFolder(program)));
    for (const char *pool : Names::poolFiles)
        QVERIFY2(folder.exists(pool), qPrintable(folder.path()));
    QCOMPARE(QFileInfo(folder.path()).canonicalFilePath(), QFileInfo(pools).canonicalFilePath());
}

QTEST_MAIN(TestNamePools)
#include "tst_namepools.moc"
