#include "simplifiedconverter.h"
#include "typedname.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextCodec>

// OpenCC's s2t conversion, as the program loads it, turns the names that
// players type in simplified Chinese into names Big5 can write.
class TestSimplified : public QObject
{
    Q_OBJECT

private slots:
    void openCC_data();
    void openCC();
    void openCCMissing();
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
#ifndef OFFICER_WITH_OPENCC
    QSKIP("built without OpenCC");
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

QTEST_GUILESS_MAIN(TestSimplified)
#include "tst_simplified.moc"
