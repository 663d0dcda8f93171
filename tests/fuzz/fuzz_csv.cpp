// A CSV file read back into the officers (從CSV更新): the plan made of it
// and, when it has no error, the update written. The update writes exactly
// the officers it lists, once written the same file changes nothing more,
// and never more errors are listed than the cap.

#include "csvupdate.h"
#include "editdata.h"
#include "fuzzing.h"
#include "officertable.h"
#include "simplifiedtotraditional.h"

#include <QDir>
#include <QTextCodec>

using namespace EditData;
using Fuzzing::check;

namespace {

// A converter of simplified names as the program's, with a few entries.
const Names::SimplifiedToTraditional &converter()
{
    static Names::SimplifiedToTraditional converter = [] {
        Names::SimplifiedToTraditional loaded;
        const QDir folder(Fuzzing::emptyFolder());
        Fuzzing::writeFile(folder.filePath(QLatin1String(loaded.phrasesFile)),
                           "诸葛亮\t諸葛亮\n云长\t雲長 云長\n");
        Fuzzing::writeFile(folder.filePath(QLatin1String(loaded.charactersFile)),
                           "赵\t趙\n云\t雲 云\n飞\t飛\n刘\t劉\n");
        QString error;
        check(loaded.load(folder.path(), &error), "loading the dictionaries");
        return loaded;
    }();
    return converter;
}

} // namespace

QList<QByteArray> fuzzSeeds()
{
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QList<QByteArray> records = Fuzzing::sampleRecords();
    QList<QVariantList> rows;
    for (const int slot : occupiedSlots(records))
        rows.append(officerTableRow(records, slot, big5));
    return {officerTableCsv(rows),
            QStringLiteral("父親,能力一,編號,性別,頭像\n700 anything, 060 ,701,0,+1132\n無,60,700,"
                           "男,\n710,60,705,\" 2\",\n")
                    .toUtf8(),
            QStringLiteral("編號,名,能力一,父親,頭像\r\n704,羽,,701 劉備,\r\n701,,99,,\r\n700,,,,"
                           "1133\r\n")
                    .toUtf8(),
            big5->fromUnicode(QStringLiteral("編號,姓,字\r\n703,張,\"伯,約\"\r\n")),
            QStringLiteral("編號\t姓\t字\n703\t张\t云长\n").toUtf8(),
            QStringLiteral("編號,姓名,姓,名,字,性別,生年,頭像,能力一,兵科一,父親,備註\n"
                           "999,,,,,,,,,,,\nabc,,,,,,,,,,,\n700,\"劉\n弘\",,,,,,,,,,x\n"
                           "701,,,,,,1x2,70000,149,-1,,\n703,,,,,男,,1130,,,703 孫尚香,\n"
                           "701,,,,,,,,,,,\n,,,,,,,,,,,\n704,\"劉,,\n")
                    .toUtf8(),
            QStringLiteral(
                    "编号,父亲,能力合计,特技一1,个性,生年\n703,704,1,9,3,65535\n704,703,,,,\n")
                    .toUtf8()};
}

namespace {

CsvUpdatePlan plan(const QList<QByteArray> &records, const QByteArray &csv)
{
    return planCsvUpdate(records, csv, QTextCodec::codecForName("Big5"),
                         [](const QString &text) { return converter().convert(text); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QByteArray csv(reinterpret_cast<const char *>(data), int(size));
    QList<QByteArray> records = Fuzzing::sampleRecords();
    const CsvUpdatePlan plan = ::plan(records, csv);
    check(plan.errors.size() <= maxListedCsvErrors
                  && (plan.unlistedErrors == 0 || plan.errors.size() == maxListedCsvErrors),
          "the errors listed are capped");
    const QStringList lines = csvErrorLines(plan);
    check(lines.size() == plan.errors.size() + (plan.unlistedErrors > 0 ? 1 : 0),
          "one line per listed error, and one for the rest");

    const QList<QByteArray> before = records;
    const CsvUpdateResult result = applyCsvUpdate(records, plan, big5);
    check(plan.errors.isEmpty() || records == before, "a plan with errors writes nothing");
    check(records.size() == before.size(), "the records stay 150");
    for (int slot = 0; slot < records.size(); ++slot)
        check((records.at(slot) != before.at(slot)) == result.changedSlots.contains(slot)
                      && records.at(slot).size() == recordSize,
              "exactly the officers listed change");
    if (plan.errors.isEmpty() && !plan.changes.isEmpty()) {
        const CsvUpdatePlan again = ::plan(records, csv);
        check(again.errors.isEmpty() && again.changes.isEmpty(),
              "once written, the file changes nothing more");
    }
    return 0;
}
