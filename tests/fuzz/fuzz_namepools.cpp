// The three name-pool files read at start-up, and the names drawn from them
// written into records as a batch writes them. Each name is taken once, and
// fitted into its field.

#include "big5.h"
#include "editdata.h"
#include "fuzzing.h"
#include "namepools.h"

#include <QDir>
#include <QSet>
#include <QTextCodec>

using Fuzzing::check;

QList<QByteArray> fuzzSeeds()
{
    return {Fuzzing::joined({"張,zhang\r\n劉,liu\r\n張,zhang\r\n諸葛,zhuge\r\n",
                             "備,bei\r\n羽,yu\r\n飛\r\n", "昭姬,zhaoji\r\n"}),
            Fuzzing::joined({"a\0b,x\n,\n\n\xE5\xBC", "😀,\r\n\xEF\xBB\xBF張,\r\nア,", ""}),
            QByteArray("no comma\rat all")};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> files = Fuzzing::parts(data, size, 3);
    const QDir folder(Fuzzing::emptyFolder());
    for (int i = 0; i < 3; ++i)
        check(Fuzzing::writeFile(folder.filePath(QLatin1String(Names::poolFiles[i])), files.at(i)),
              "writing a pool file");
    Names::NamePools pools;
    check(Names::loadNamePools(folder.path(), pools) == -1, "the three files are read");

    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QStringList *const lists[] = {&pools.familyNames, &pools.boyNames, &pools.girlNames};
    for (int i = 0; i < 3; ++i) {
        const QStringList &names = *lists[i];
        check(names == Names::parseNamePool(files.at(i)), "the file is parsed as its bytes are");
        check(QSet<QString>(names.cbegin(), names.cend()).size() == names.size(),
              "each name is taken once");
        for (const QString &name : names) {
            const QByteArray fitted = Names::fitName(name, big5, EditData::givenNameMaxBytes);
            check(fitted.size() <= EditData::givenNameMaxBytes && !fitted.contains('\0'),
                  "a name fits its field");
        }
    }
    return 0;
}
