#include "typedname.h"

#include <QHash>
#include <QTest>
#include <QTextCodec>

using Names::PersonName;

Q_DECLARE_METATYPE(PersonName)

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

// Converts character by character, counting its calls. Like OpenCC, it also
// turns the family names 范 and 于 into other words.
struct FakeConverter
{
    int calls = 0;
    QString operator()(const QString &text)
    {
        static const QHash<QChar, QChar> table = {
                {u'赵', u'趙'}, {u'飞', u'飛'}, {u'龙', u'龍'}, {u'范', u'範'}, {u'于', u'於'}};
        ++calls;
        QString converted = text;
        for (QChar &c : converted)
            c = table.value(c, c);
        return converted;
    }
};

} // namespace

void TestTypedName::rule_data()
{
    QTest::addColumn<PersonName>("typed");
    QTest::addColumn<PersonName>("written");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("converterCalled");

    const auto name = [](const char *family, const char *given, const char *style) {
        return PersonName{QString::fromUtf8(family), QString::fromUtf8(given),
                          QString::fromUtf8(style)};
    };
    QTest::newRow("writable as typed")
            << name("范", "云", "于") << name("范", "云", "于") << true << false;
    QTest::newRow("all empty") << name("", "", "") << name("", "", "") << true << false;
    QTest::newRow("family converted")
            << name("赵", "云", "") << name("趙", "云", "") << true << true;
    QTest::newRow("writable family kept")
            << name("范", "飞", "") << name("范", "飛", "") << true << true;
    QTest::newRow("style converted whole")
            << name("于", "云", "子龙于") << name("于", "云", "子龍於") << true << true;
    QTest::newRow("given converted whole")
            << name("于", "飞于", "") << name("于", "飛於", "") << true << true;
    QTest::newRow("kana stays unwritable")
            << name("赵", "か", "") << name("趙", "か", "") << false << true;
}

void TestTypedName::rule()
{
    QFETCH(PersonName, typed);
    QFETCH(PersonName, written);
    QFETCH(bool, writable);
    QFETCH(bool, converterCalled);

    FakeConverter fake;
    const Names::NameToWrite result =
            Names::nameToWrite(typed, big5(), [&fake](const QString &text) { return fake(text); });
    QCOMPARE(result.name.familyName, written.familyName);
    QCOMPARE(result.name.givenName, written.givenName);
    QCOMPARE(result.name.styleName, written.styleName);
    QCOMPARE(result.writable, writable);
    QCOMPARE(result.converted, !(written == typed));
    QCOMPARE(fake.calls > 0, converterCalled);

    // Without the Big5 codec nothing can be written.
    QVERIFY(!Names::nameToWrite(typed, nullptr, fake).writable);
}

// In the editor only the names the player changed count as typed: the
// others are neither judged nor converted.
void TestTypedName::edited()
{
    FakeConverter fake;
    const auto convert = [&fake](const QString &text) { return fake(text); };
    const PersonName shown{"劉", "于", "か"};

    Names::NameToWrite result =
            Names::editedNameToWrite(shown, {"赵", "于", "か"}, big5(), convert);
    QVERIFY(result.writable);
    QVERIFY(result.converted);
    QVERIFY(result.name == (PersonName{"趙", "于", "か"}));

    result = Names::editedNameToWrite(shown, {"劉", "于", "子龙于"}, big5(), convert);
    QVERIFY(result.name == (PersonName{"劉", "于", "子龍於"}));

    fake.calls = 0;
    result = Names::editedNameToWrite(shown, {"范", "于", "か"}, big5(), convert);
    QVERIFY(result.writable);
    QVERIFY(!result.converted);
    QCOMPARE(fake.calls, 0);

    result = Names::editedNameToWrite(shown, {"赵", "于", "ア"}, big5(), convert);
    QVERIFY(!result.writable);
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
