// The file check over any records, and its repairs: a repair touches only
// the portrait and the two father fields, leaves nothing it could mend,
// and mends nothing more when made again.

#include "editdata.h"
#include "filecheck.h"
#include "fuzzing.h"
#include "records.h"

#include <QTextCodec>

using namespace EditData;
using Fuzzing::check;

QList<QByteArray> fuzzSeeds()
{
    const QList<QByteArray> sample = Fuzzing::sampleRecords();
    QByteArray self = patternedRecord("孫", "策", 0, 175, 1130, 712);
    QByteArray ring = patternedRecord("孫", "權", 0, 182, 1130, 714);
    writeU16(ring, fatherId2, 799);
    QByteArray unended = patternedRecord("周", "瑜", 1, 175, 1200, noFather);
    unended.replace(givenName, 30, QByteArray(30, '\xA4'));
    return {Fuzzing::recordsInput({{0, sample.at(0)}, {1, sample.at(1)}, {2, sample.at(2)}}),
            Fuzzing::recordsInput({{12, self}, {13, ring}, {14, ring}, {149, unended}}),
            Fuzzing::recordsInput({{3, sample.at(3)}, {5, sample.at(5)}, {7, sample.at(7)}})};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QList<QByteArray> records = splitRecords(Fuzzing::dataImage(input));
    const QVector<FileProblem> problems = checkRecords(records, big5);
    for (const FileProblem &problem : problems) {
        check(problem.slot >= 0 && problem.slot < recordCount
                      && !isEmptySlot(records.at(problem.slot)),
              "only occupied slots are judged");
        problemLine(problem);
        problemJson(problem);
    }

    int repaired = 0;
    const QList<QByteArray> mended = repairRecords(records, problems, big5, &repaired);
    check(mended.size() == records.size(), "every slot stays");
    for (int slot = 0; slot < records.size(); ++slot) {
        QByteArray before = records.at(slot);
        QByteArray after = mended.at(slot);
        for (QByteArray *record : {&before, &after}) {
            record->replace(portrait, 2, QByteArray(2, '\0'));
            record->replace(fatherId, 4, QByteArray(4, '\0'));
        }
        check(before == after, "a repair touches only the portrait and the fathers");
    }
    check((repaired > 0) == (mended != records), "a repair is counted when it changes bytes");

    const QVector<FileProblem> left = checkRecords(mended, big5);
    for (const FileProblem &problem : left)
        check(!problem.repairable, "nothing that could be mended is left");
    int again = 0;
    check(repairRecords(mended, left, big5, &again) == mended && again == 0,
          "a second repair changes nothing");
    return 0;
}
