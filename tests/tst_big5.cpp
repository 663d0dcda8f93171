#include "big5.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>
#include <QTextCodec>

// Names are written in Big5 by the program's own encoder, so that every
// build writes the same bytes whatever Big5 codec its Qt carries.
class TestBig5 : public QObject
{
    Q_OBJECT

private slots:
    void linuxBytesKept();
    void sameBytesOnEveryBuild();
    void whereTheCodecsDiffered_data();
    void whereTheCodecsDiffered();
    void fittingSubstitutes();
};

namespace {

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

QByteArray encoded(const QString &name)
{
    QByteArray bytes;
    return Names::encodeName(name, big5Codec(), &bytes) ? bytes.toHex().toUpper() : "-";
}

} // namespace

// tests/big5/reference.txt holds what the Linux build wrote before the
// program had its own encoder: every CJK ideograph and every pool name.
void TestBig5::linuxBytesKept()
{
    QFile file(QStringLiteral(":/big5/reference.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    int ideographs = 0;
    int names = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        if (fields.at(0) == "name") {
            QCOMPARE(fields.size(), 4);
            const QString name = QString::fromUtf8(QByteArray::fromHex(fields.at(2)));
            QVERIFY2(encoded(name) == fields.at(3), line.constData());
            QVERIFY2(Names::fitName(name, big5Codec(), 29).toHex().toUpper() == fields.at(3),
                     line.constData());
            ++names;
        } else {
            QCOMPARE(fields.size(), 2);
            const QString character(QChar(fields.at(0).mid(2).toUShort(nullptr, 16)));
            QVERIFY2(encoded(character) == fields.at(1), line.constData());
            ++ideographs;
        }
    }
    QCOMPARE(ideographs, 6592 + 20992 + 512);
    QVERIFY(names > 500);
}

// Every character of the Basic Multilingual Plane, typed and fitted: the
// digest was taken on Linux; the Windows build must give the same.
void TestBig5::sameBytesOnEveryBuild()
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    int accepted = 0;
    for (uint c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString text{QChar(ushort(c))};
        const QByteArray bytes = encoded(text);
        accepted += bytes == "-" ? 0 : 1;
        hash.addData(bytes + ' ' + Names::fitName(text, big5Codec(), 2).toHex() + '\n');
    }
    QCOMPARE(accepted, ACCEPTED_COUNT);
    QCOMPARE(hash.result().toHex(), QByteArray(BMP_DIGEST));
}

void TestBig5::whereTheCodecsDiffered_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    // Two pairs decode to these; the Windows code page's pair is written.
    QTest::newRow("double line") << QStringLiteral("═╞╡╪") << QByteArray("F9F9F9E9F9EBF9EA");
    QTest::newRow("arcs") << QStringLiteral("╭╮╯╰") << QByteArray("A27EA2A1A2A3A2A2");
    QTest::newRow("ideographs, not numerals") << QStringLiteral("十卅") << QByteArray("A451A4CA");
    QTest::newRow("euro") << QStringLiteral("€") << QByteArray("A3E1");
    QTest::newRow("fullwidth cent") << QStringLiteral("￠") << QByteArray("A246");
    QTest::newRow("ASCII") << QStringLiteral("a ?~") << QByteArray("61203F7E");
    // Refused: written by one codec as another character's bytes, or into
    // the user-defined areas, which fonts do not agree on.
    QTest::newRow("cent") << QStringLiteral("¢") << QByteArray("-");
    QTest::newRow("pound") << QStringLiteral("£") << QByteArray("-");
    QTest::newRow("circled one") << QStringLiteral("①") << QByteArray("-");
    QTest::newRow("parenthesized one") << QStringLiteral("㈠") << QByteArray("-");
    QTest::newRow("cyrillic") << QStringLiteral("Д") << QByteArray("-");
    QTest::newRow("private use") << QString(QChar(0xE000)) << QByteArray("-");
    QTest::newRow("C1 control") << QString(QChar(0x80)) << QByteArray("-");
    QTest::newRow("simplified") << QStringLiteral("刘") << QByteArray("-");
}

void TestBig5::whereTheCodecsDiffered()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encoded(name), bytes);
    QCOMPARE(Names::encodesExactly(name, big5Codec()), bytes != "-");
}

void TestBig5::fittingSubstitutes()
{
    QTextCodec *codec = big5Codec();
    // A pool file saved with a byte order mark, joiners, emoji, private use.
    QCOMPARE(Names::fitName(QString(QChar(0xFEFF)) + "張", codec, 4), QByteArray("\xb1\x69"));
    QCOMPARE(Names::fitName(QString::fromUcs4(U"劉\u200d\U0001F600\uE000"), codec, 29),
             QByteArray("\xbc\x42??"));
    QCOMPARE(Names::fitName(QString::fromUcs4(U"\U000E0041劉"), codec, 29), QByteArray("\xbc\x42"));
    QVERIFY(!Names::encodesExactly(QString::fromUcs4(U"劉\U0001F600"), codec));
}

QTEST_GUILESS_MAIN(TestBig5)
#include "tst_big5.moc"
