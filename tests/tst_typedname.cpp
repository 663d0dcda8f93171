#include "typedname.h"

#include <QHash>
#include <QTest>
#include <QTextCodec>

using Names::PersonName;

// Names typed in simplified Chinese are written in traditional characters
// when Big5 cannot write them as typed.
class TestTypedName : public QObject
{
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
    void edited();
    void messages();
};

namespace {

QTextCodec *big5()
{
    return QTextCodec::codecForName("Big5");
}

QStringList parts(const PersonName &name)
{
    return {name.familyName, name.givenName, name.styleName};
}

// Converts character by character, counting its calls. Like OpenCC, it also
// turns the family names 范 and 于 into other words.
int calls = 0;
QString toTraditional(const QString &text)
{
    static const QHash<QChar, QChar> table = {
            {u'赵', u'趙'}, {u'飞', u'飛'}, {u'龙', u'龍'}, {u'范', u'範'}, {u'于', u'於'}};
    ++calls;
    QString converted = text;
    for (QChar &c : converted)
        c = table.value(c, c);
    return converted;
}

} // namespace

void TestTypedName::rule_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("writable");
    QTest::newRow("writable as typed")
            << QStringList{"范", "云", "于"} << QStringList{"范", "云", "于"} << true;
    QTest::newRow("writable family kept, others converted whole")
            << QStringList{"范", "飞于", "子龙于"} << QStringList{"范", "飛於", "子龍於"} << true;
    QTest::newRow("kana stays unwritable")
            << QStringList{"赵", "か", ""} << QStringList{"趙", "か", ""} << false;
}

// The converter is called only for names Big5 cannot write as typed.
void TestTypedName::rule()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, written);
    QFETCH(bool, writable);

    calls = 0;
    const PersonName name{typed.at(0), typed.at(1), typed.at(2)};
    const Names::NameToWrite result = Names::nameToWrite(name, big5(), toTraditional);
    QCOMPARE(parts(result.name), written);
    QCOMPARE(result.writable, writable);
    QCOMPARE(result.converted, written != typed);
    QCOMPARE(calls > 0, written != typed);
    // Without the Big5 codec nothing can be written.
    QVERIFY(!Names::nameToWrite(name, nullptr, toTraditional).writable);
}

// In the editor only the names the player changed count as typed: the
// others are neither judged nor converted.
void TestTypedName::edited()
{
    const PersonName shown{"劉", "于", "か"};

    Names::NameToWrite result =
            Names::editedNameToWrite(shown, {"赵", "于", "か"}, big5(), toTraditional);
    QVERIFY(result.writable && result.converted);
    QCOMPARE(parts(result.name), (QStringList{"趙", "于", "か"}));

    calls = 0;
    result = Names::editedNameToWrite(shown, {"范", "于", "か"}, big5(), toTraditional);
    QVERIFY(result.writable && !result.converted);
    QCOMPARE(calls, 0);

    QVERIFY(!Names::editedNameToWrite(shown, {"赵", "于", "ア"}, big5(), toTraditional).writable);
}

void TestTypedName::messages()
{
    QCOMPARE(Names::conversionMessage({"赵", "云", ""}, {"趙", "雲", ""}),
             QStringLiteral("已將簡體字轉為繁體字：赵云 → 趙雲。"));
    QCOMPARE(Names::conversionMessage({"", "云%2", "子龙"}, {"", "雲%2", "子龍"}),
             QStringLiteral("已將簡體字轉為繁體字：云%2(子龙) → 雲%2(子龍)。"));
}

QTEST_GUILESS_MAIN(TestTypedName)
#include "tst_typedname.moc"
