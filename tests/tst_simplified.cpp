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
    void openCC();
    void openCCMissing();
    void ownConversionIsOpenCCs();
};

// Family names Big5 can write as typed stay as they are.
void TestSimplified::openCC()
{
#if !defined(OFFICER_WITH_OPENCC) && !defined(OFFICER_OPENCC_TEXT_DIR)
    QSKIP("built without OpenCC's library and dictionaries");
#endif
    const SimplifiedConverter converter;
    QVERIFY2(converter.isLoaded(), qPrintable(converter.errorString()));
    const QList<QStringList> names = {{"赵", "云", "趙", "雲"},
                                      {"诸葛", "亮", "諸葛", "亮"},
                                      {"范", "飞", "范", "飛"},
                                      {"于", "谦", "于", "謙"},
                                      {"后", "羿", "后", "羿"}};
    for (const QStringList &name : names) {
        const Names::NameToWrite result =
                Names::nameToWrite({name.at(0), name.at(1), QString()},
                                   QTextCodec::codecForName("Big5"), converter.function());
        QVERIFY(result.writable);
        QCOMPARE(
                QStringList({result.name.familyName, result.name.givenName, result.name.styleName}),
                QStringList({name.at(2), name.at(3), QString()}));
    }
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
// OpenCC gives: for every key of the two dictionaries, and texts mixed from
// keys, parts of phrases and random characters.
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
    QStringList texts = keys;

    // Mixed texts make phrases overlap, cut them short (between characters,
    // not inside a surrogate pair) and run them into characters of the basic,
    // extended and supplementary ideographs and of katakana.
    std::mt19937 random(24);
    const auto below = [&random](int n) { return int(random() % unsigned(n)); };
    static const char32_t ranges[][2] = {
            {0x4E00, 0x5200}, {0x3400, 0x19C0}, {0x20000, 0xA6E0}, {0x30A0, 0x60}};
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int parts = 1 + below(4); parts > 0; --parts) {
            const QVector<uint> key = keys.at(below(keys.size())).toUcs4();
            const int from = below(key.size());
            const auto &range = ranges[below(4)];
            const char32_t character = range[0] + char32_t(below(int(range[1])));
            switch (below(5)) {
            case 0:
                text += QString::fromUcs4(key.constData(), 1 + from);
                break;
            case 1:
                text += QString::fromUcs4(key.constData() + from, key.size() - from);
                break;
            case 2:
                text += QString::fromUcs4(&character, 1);
                break;
            default:
                text += QString::fromUcs4(key.constData(), key.size());
            }
        }
        texts << text;
    }

    QStringList differ;
    for (const QString &text : texts) {
        const QString expected = openCC.convert(text);
        const QString converted = own.convert(text);
        if (converted != expected)
            differ << text + ": OpenCC " + expected + ", own " + converted;
    }
    QVERIFY2(differ.isEmpty(), qPrintable(differ.mid(0, 10).join('\n')));
#endif
}

QTEST_GUILESS_MAIN(TestSimplified)
#include "tst_simplified.moc"
