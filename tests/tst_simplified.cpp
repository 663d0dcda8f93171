#include "names.h"
#include "simplifiedconverter.h"
#include "simplifiedtotraditional.h"
#include "typedname.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextCodec>

#include <random>

// OpenCC's s2t conversion, as the program loads it (the OpenCC library, or
// where the program is built without it its own conversion), turns the
// names that players type in simplified Chinese into names Big5 can write.
class TestSimplified : public QObject
{
    Q_OBJECT

private slots:
    void openCC_data();
    void openCC();
    void openCCMissing();
    void ownConversionIsOpenCCs();
};

void TestSimplified::openCC_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("writtenFamily");
    QTest::addColumn<QString>("writtenGiven");

    // An empty written name: the name is refused.
    const char *const cases[][4] = {
            {"赵", "云", "趙", "雲"}, {"诸葛", "亮", "諸葛", "亮"}, {"范", "飞", "范", "飛"},
            {"于", "谦", "于", "謙"}, {"后", "羿", "后", "羿"},     {"范", "云", "范", "云"},
            {"赵", "か", "", ""},
    };
    for (const auto &row : cases) {
        const QString family = QString::fromUtf8(row[0]);
        const QString given = QString::fromUtf8(row[1]);
        QTest::newRow(qPrintable(family + given))
                << family << given << QString::fromUtf8(row[2]) << QString::fromUtf8(row[3]);
    }
}

void TestSimplified::openCC()
{
    QFETCH(QString, family);
    QFETCH(QString, given);
    QFETCH(QString, writtenFamily);
    QFETCH(QString, writtenGiven);

    static const SimplifiedConverter converter;
#if !defined(OFFICER_WITH_OPENCC) && !defined(OFFICER_OPENCC_TEXT_DIR)
    QSKIP("built without OpenCC's library and dictionaries");
#endif
    QVERIFY2(converter.isLoaded(), qPrintable(converter.errorString()));
    const Names::NameToWrite result = Names::nameToWrite(
            {family, given, QString()}, QTextCodec::codecForName("Big5"), converter.function());
    if (writtenFamily.isEmpty()) {
        QVERIFY(!result.writable);
        return;
    }
    QVERIFY(result.writable);
    QCOMPARE(result.name.familyName, writtenFamily);
    QCOMPARE(result.name.givenName, writtenGiven);
    QCOMPARE(result.name.styleName, QString());
}

// Without its configuration the converter changes nothing, and says why.
void TestSimplified::openCCMissing()
{
    const SimplifiedConverter converter(QStringLiteral("/nonexistent/opencc"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not converted"));
    QCOMPARE(converter.convert(QStringLiteral("赵云")), QStringLiteral("赵云"));
    QVERIFY(!converter.isLoaded());
    QVERIFY(!converter.errorString().isEmpty());
}

// The program's own conversion, which the Windows build uses, gives what
// OpenCC gives: for every text of the bundled name pools, every key of the
// two dictionaries, and texts mixed from keys, parts of phrases and random
// characters.
void TestSimplified::ownConversionIsOpenCCs()
{
#if !defined(OFFICER_WITH_OPENCC) || !defined(OFFICER_OPENCC_TEXT_DIR)
    QSKIP("needs the OpenCC library and its dictionaries as text");
#else
    const SimplifiedConverter openCC;
    QVERIFY2(openCC.isLoaded(), qPrintable(openCC.errorString()));
    Names::SimplifiedToTraditional own;
    QString error;
    QVERIFY2(own.load(QStringLiteral(OFFICER_OPENCC_TEXT_DIR), &error), qPrintable(error));

    QStringList texts;
    for (const char *pool : Names::poolFiles) {
        QFile file(QDir(qEnvironmentVariable("OFFICER_DATA_DIR")).filePath(pool));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QByteArray &line : file.readAll().split('\n'))
            texts << Names::parseNamePool(line) << QString::fromUtf8(line).trimmed();
    }
    QStringList keys;
    for (const char *dictionary : {Names::SimplifiedToTraditional::phrasesFile,
                                   Names::SimplifiedToTraditional::charactersFile}) {
        QFile file(QDir(QStringLiteral(OFFICER_OPENCC_TEXT_DIR)).filePath(dictionary));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                keys << QString::fromUtf8(line.left(line.indexOf('\t')));
        }
    }
    QVERIFY(keys.size() > 50000);
    texts << keys;

    // Mixed texts make phrases overlap, cut them short and run them into
    // characters of the basic, extended and supplementary ideographs.
    std::mt19937 random(24);
    const auto below = [&random](int n) { return int(random() % unsigned(n)); };
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int parts = 1 + below(4); parts > 0; --parts) {
            const QString &key = keys.at(below(keys.size()));
            // Cut between characters, not inside a surrogate pair.
            const QVector<uint> characters = key.toUcs4();
            switch (below(5)) {
            case 0:
                text += QString::fromUcs4(characters.constData(), 1 + below(characters.size()));
                break;
            case 1: {
                const int from = below(characters.size());
                text += QString::fromUcs4(characters.constData() + from, characters.size() - from);
                break;
            }
            case 2: {
                // The first and the size of a range of characters.
                static const char32_t ranges[][2] = {
                        {0x4E00, 0x5200}, {0x3400, 0x19C0}, {0x20000, 0xA6E0}, {0x30A0, 0x60}};
                const auto &range = ranges[below(4)];
                const char32_t character = range[0] + char32_t(below(int(range[1])));
                text += QString::fromUcs4(&character, 1);
                break;
            }
            default:
                text += key;
            }
        }
        texts << text;
    }

    int differ = 0;
    for (const QString &text : texts) {
        const QString expected = openCC.convert(text);
        const QString converted = own.convert(text);
        if (converted != expected && ++differ <= 10)
            qWarning("%s: OpenCC %s, own %s", qUtf8Printable(text), qUtf8Printable(expected),
                     qUtf8Printable(converted));
    }
    qInfo("%d texts compared", int(texts.size()));
    QCOMPARE(differ, 0);
#endif
}

QTEST_GUILESS_MAIN(TestSimplified)
#include "tst_simplified.moc"
