// The interface in simplified Chinese: the translation covers every text of
// the program, a CSV file from either interface reads in both, and the
// language the program starts in follows the system's unless one was chosen.

#include "csvupdate.h"
#include "editdata.h"
#include "language.h"
#include "officertable.h"
#include "records.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextCodec>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace EditData;
using Message = QHash<QString, QString>;

namespace {

// The messages of a Qt Linguist file, each as its parts by name ("source",
// "comment", "translation"), with its "context" and the "type" of its
// translation.
QList<Message> readTs(const QString &path)
{
    QList<Message> messages;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString context;
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        if (!xml.isStartElement() || xml.name() != QLatin1String("message"))
            continue;
        Message message{{"context", context}};
        while (xml.readNextStartElement()) {
            const QString part = xml.name().toString();
            if (part == QLatin1String("translation"))
                message["type"] = xml.attributes().value("type").toString();
            message[part] = xml.readElementText();
        }
        messages.append(message);
    }
    return messages;
}

QString named(const Message &m)
{
    return m["context"] + " 「" + m["source"] + "」 " + m["comment"];
}

// What a translation keeps of its source: the arguments and the menu key.
QStringList markers(const QString &text)
{
    QStringList found;
    auto it = QRegularExpression(QStringLiteral("%\\d+|&[^&]")).globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured().toUpper());
    found.sort();
    return found;
}

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void everyTextTranslated();
    void csvFromEitherInterface();
    void startLanguage_data();
    void startLanguage();
};

// lupdate has just taken the texts from the sources: the compiled
// translation has each, and the translation file nothing unfinished or no
// longer used.
void TestTranslation::everyTextTranslated()
{
    const QList<Message> extracted = readTs(EXTRACTED_TS);
    QVERIFY2(extracted.size() > 100, "lupdate finds the program's texts");
    QTranslator translator;
    QVERIFY(translator.load(COMPILED_QM));
    QStringList faults;
    QSet<QString> used;
    for (const Message &m : extracted) {
        used.insert(named(m));
        const QByteArray comment = m["comment"].toUtf8();
        const QString translation =
                translator.translate(m["context"].toUtf8(), m["source"].toUtf8(),
                                     comment.isEmpty() ? nullptr : comment.constData());
        if (translation.isEmpty())
            faults << "not translated: " + named(m);
        else if (markers(translation) != markers(m["source"]))
            faults << named(m) + ": 「" + translation + "」 differs in its %N or &";
    }
    for (const Message &m : readTs(COMMITTED_TS)) {
        if (!used.contains(named(m)) || m["type"] == "vanished" || m["type"] == "obsolete")
            faults << "no longer in the program: " + named(m);
        else if (m["type"] == "unfinished")
            faults << "unfinished: " + named(m);
    }
    QVERIFY2(
            faults.isEmpty(),
            qPrintable(faults.join('\n') + "\nBuild the target update_translation and translate."));
}

// With the table's header in simplified Chinese, a file with either header,
// and "無" or "无" for no father, makes the same changes.
void TestTranslation::csvFromEitherInterface()
{
    QTranslator translator;
    QVERIFY(translator.load(COMPILED_QM));
    QCoreApplication::installTranslator(&translator);
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = patternedRecord("劉", "備", 0, 161, 1132, noFather);
    records[1] = patternedRecord("劉", "禪", 0, 207, 500, 700);
    QTextCodec *codec = QTextCodec::codecForName("Big5");
    QCOMPARE(officerTableHeader().mid(0, 3), QStringList({"编号", "姓名", "性别"}));
    QCOMPARE(officerTableRow(records, 0, codec).at(TableColumn::Father).toString(), "无");
    for (const char *csv : {"編號,生年,父親\n701,208,無\n", "编号,生年,父亲\n701,208,无\n"}) {
        const CsvUpdatePlan plan = planCsvUpdate(records, csv, codec);
        QCOMPARE(plan.errors, QStringList());
        QCOMPARE(plan.changes.size(), 2);
        QCOMPARE(plan.changes.at(1).newValue, "无");
    }
    QCoreApplication::removeTranslator(&translator);
}

void TestTranslation::startLanguage_data()
{
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("simplified");
    const QStringList china{"zh-CN", "zh", "zh-Hans-CN"};
    QTest::newRow("zh_CN") << china << QString() << true;
    QTest::newRow("zh_Hans_HK") << QStringList{"zh-Hans-HK"} << QString() << true;
    QTest::newRow("zh_TW") << QStringList{"zh-TW", "zh-Hant-TW"} << QString() << false;
    QTest::newRow("en_US, then zh_CN") << QStringList{"en-US", "zh-CN"} << QString() << false;
    QTest::newRow("none") << QStringList() << QString() << false;
    QTest::newRow("zh_CN, traditional chosen") << china << "zh_TW" << false;
    QTest::newRow("en_US, simplified chosen") << QStringList{"en-US"} << "zh_CN" << true;
    QTest::newRow("zh_CN, unknown choice") << china << "fr" << true;
}

void TestTranslation::startLanguage()
{
    QFETCH(QStringList, system);
    QFETCH(QString, saved);
    QFETCH(bool, simplified);
    QCOMPARE(Language::startLanguage(system, saved) == InterfaceLanguage::Simplified, simplified);
}

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
