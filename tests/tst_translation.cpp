// The interface in simplified Chinese: the translation covers every text of
// the program, a file from either interface reads in both, and the language
// the program starts in follows the system's unless one was chosen.

#include "csvupdate.h"
#include "editdata.h"
#include "language.h"
#include "officertable.h"
#include "records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QTextCodec>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace EditData;

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation;
    QString type; // of the translation: "unfinished", "vanished", "obsolete" or none
    QString location; // where the text is written, as "file:line", the file as lupdate names it

    QString named() const { return QStringLiteral("%1 「%2」").arg(context, source); }
    QString key() const
    {
        return context + QLatin1Char('\n') + source + QLatin1Char('\n') + comment;
    }
};

// The messages of a Qt Linguist file.
QVector<Message> readTs(const QString &path)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            Message message{context, {}, {}, {}, {}, {}};
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("location") && message.location.isEmpty()) {
                    message.location = xml.attributes().value("filename") + QLatin1Char(':')
                                       + xml.attributes().value("line");
                    xml.skipCurrentElement();
                } else if (xml.name() == QLatin1String("translation")) {
                    message.type = xml.attributes().value("type").toString();
                    message.translation = xml.readElementText();
                } else if (xml.name() == QLatin1String("source")) {
                    message.source = xml.readElementText();
                } else if (xml.name() == QLatin1String("comment")) {
                    message.comment = xml.readElementText();
                } else {
                    xml.skipCurrentElement();
                }
            }
            messages.append(message);
        }
    }
    return xml.hasError() ? QVector<Message>() : messages;
}

// What a translation must keep of its source: the places of the arguments
// and the key of a menu.
QStringList markers(const QString &text)
{
    QStringList found;
    QRegularExpressionMatchIterator it =
            QRegularExpression(QStringLiteral("%\\d+|&[^&]")).globalMatch(text);
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

// lupdate has just taken the texts from the sources; the compiled
// translation must have each, and the translation file nothing left
// unfinished or no longer used.
void TestTranslation::everyTextTranslated()
{
    const QVector<Message> extracted = readTs(QStringLiteral(EXTRACTED_TS));
    QVERIFY2(extracted.size() > 100, "lupdate finds the program's texts");
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(COMPILED_QM)));

    // lupdate names the files from its output's folder.
    const QDir extractedIn = QFileInfo(QStringLiteral(EXTRACTED_TS)).dir();
    const QDir sources = QDir::cleanPath(QStringLiteral(COMMITTED_TS "/../.."));
    QStringList faults;
    QSet<QString> used;
    for (const Message &m : extracted) {
        used.insert(m.key());
        const QString translation = translator.translate(
                m.context.toUtf8(), m.source.toUtf8(),
                m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData());
        if (translation.isEmpty())
            faults.append(
                    QStringLiteral("not translated: %1 (%2)")
                            .arg(m.named(), sources.relativeFilePath(
                                                    extractedIn.absoluteFilePath(m.location))));
        else if (markers(translation) != markers(m.source))
            faults.append(QStringLiteral("%1: the translation 「%2」 differs in its %N or &")
                                  .arg(m.named(), translation));
    }
    for (const Message &m : readTs(QStringLiteral(COMMITTED_TS))) {
        if (!used.contains(m.key()) || m.type == QLatin1String("vanished")
            || m.type == QLatin1String("obsolete"))
            faults.append(QStringLiteral("no longer in the program: %1").arg(m.named()));
        else if (m.type == QLatin1String("unfinished"))
            faults.append(QStringLiteral("unfinished: %1").arg(m.named()));
    }
    QVERIFY2(faults.isEmpty(),
             qPrintable(faults.join(QLatin1Char('\n'))
                        + QStringLiteral("\nBring translations/officer-maker_zh_CN.ts up to date "
                                         "(cmake --build <build> --target update_translation) "
                                         "and translate what it lacks.")));
}

// With the table's header in simplified Chinese, a file exported with either
// header, and "無" or "无" for no father, updates the same officers.
void TestTranslation::csvFromEitherInterface()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(COMPILED_QM)));
    QVERIFY(QCoreApplication::installTranslator(&translator));
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
    const QStringList china = {"zh-CN", "zh", "zh-Hans-CN"};
    QTest::newRow("zh_CN") << china << QString() << true;
    QTest::newRow("zh_SG") << QStringList{"zh-SG", "zh-Hans-SG"} << QString() << true;
    QTest::newRow("zh_Hans_HK") << QStringList{"zh-Hans-HK"} << QString() << true;
    QTest::newRow("zh_TW") << QStringList{"zh-TW", "zh-Hant-TW"} << QString() << false;
    QTest::newRow("zh_HK") << QStringList{"zh_HK"} << QString() << false;
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
