// The data file's open: the file read from disk as 打開 reads it, and what
// the windows make of its records. Whatever the records hold, the family
// tree shows every officer once, the table's export reads back as no
// change, and the officers' code gives back their bytes.

#include "csvupdate.h"
#include "datafile.h"
#include "editdata.h"
#include "familytree.h"
#include "fuzzing.h"
#include "officercode.h"
#include "officerdetails.h"
#include "officertable.h"
#include "records.h"

#include <QDir>
#include <QTextCodec>

using namespace EditData;
using Fuzzing::check;

QList<QByteArray> fuzzSeeds()
{
    const QList<QByteArray> sample = Fuzzing::sampleRecords();
    QByteArray ring = patternedRecord("孫", "策", 0, 175, 1130, 713);
    QByteArray other = patternedRecord("孫", "權", 1, 182, 1180, 712);
    writeU16(other, fatherId2, 799);
    return {Fuzzing::recordsInput({{0, sample.at(0)}, {1, sample.at(1)}, {2, sample.at(2)}}),
            Fuzzing::recordsInput({{3, sample.at(3)}, {5, sample.at(5)}, {7, sample.at(7)}}),
            Fuzzing::recordsInput({{12, ring}, {13, other}, {149, sample.at(4)}}),
            QByteArray(100, 'z')};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const QString path = QDir(Fuzzing::emptyFolder()).filePath(QStringLiteral("editdata.rqv"));
    // A data file of another size, as an input of a few bytes gives, is
    // refused.
    const QByteArray written = input.size() < 64 ? input : Fuzzing::dataImage(input);
    check(Fuzzing::writeFile(path, written), "writing the data file");
    QByteArray image;
    const ReadError error = readDataFile(path, image);
    check((error == ReadError::None) == (written.size() == fileSize), "only a data file is read");
    if (error != ReadError::None)
        return 0;

    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QList<QByteArray> records = splitRecords(image);
    const QVector<int> occupied = occupiedSlots(records);
    check(officerNameRows(records, big5).size() == occupied.size(), "a row per officer");
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    markUsedPortraits(records, male, female);

    const Family::FamilyTree tree = Family::buildFamilyTree(records, big5);
    int shown = 0;
    for (const Family::FamilyGroup &group : tree.groups)
        shown += group.roots.size();
    for (const QVector<int> &children : tree.children)
        shown += children.size();
    check(shown == occupied.size(), "the tree shows every officer once");

    QList<QVariantList> rows;
    for (const int slot : occupied) {
        officerDetails(records, slot, big5);
        Family::fatherChoices(records, slot);
        rows.append(officerTableRow(records, slot, big5));
    }
    const CsvUpdatePlan plan = planCsvUpdate(records, officerTableCsv(rows), big5);
    check(plan.errors.isEmpty() && plan.changes.isEmpty() && !plan.computedColumnsDiffer,
          "the table's export reads back as no change");

    if (!occupied.isEmpty()) {
        const CopiedOfficers copied = officersFromText(officerText(records, occupied, big5));
        check(copied.status == CopiedOfficers::Valid && copied.ids.size() == occupied.size(),
              "the code of every officer is read back");
        for (int i = 0; i < occupied.size(); ++i)
            check(copied.records.at(i) == records.at(occupied.at(i)), "the code keeps every byte");
    }
    return 0;
}
