// The recovery copy of a data file found at its open, with the file of its
// path beside it, as another program or a crash may have left them.

#include "editdata.h"
#include "filekey.h"
#include "fuzzing.h"
#include "recovery.h"
#include "wholefile.h"

#include <QDir>

using namespace SafeKeeping;
using Fuzzing::check;

QList<QByteArray> fuzzSeeds()
{
    const QByteArray changed = Fuzzing::recordsInput({{4, Fuzzing::sampleRecords().at(4)}});
    return {Fuzzing::joined({"/home/player/game/editdata.rqv", QByteArray(1, '\1') + changed}),
            Fuzzing::joined({"C:\\遊戲\\editdata.rqv", QByteArray(1, '\0') + "not a data file"}),
            Fuzzing::joined({"", QByteArray(1, '\1')})};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The copy: its path file, and after a byte that says whether the rest
    // is made into a data file's size (odd) or written as it is (even).
    const QList<QByteArray> pieces = Fuzzing::parts(data, size, 2);
    const QByteArray &copy = pieces.at(1);
    const bool whole = !copy.isEmpty() && (copy.at(0) & 1);
    const QByteArray bytes = whole ? Fuzzing::dataImage(copy.mid(1)) : copy.mid(1);

    const QDir folder(Fuzzing::emptyFolder());
    const QString path = folder.filePath(QStringLiteral("game/editdata.rqv"));
    const QString recovery = folder.filePath(QStringLiteral("recovery"));
    check(writeWhole(QDir(recovery).filePath(fileKey(path) + QStringLiteral(".path")), pieces.at(0))
                          .isEmpty()
                  && writeWhole(QDir(recovery).filePath(fileKey(path) + QStringLiteral(".rqv")),
                                bytes)
                             .isEmpty(),
          "writing the copy");

    // What the open does with it: a copy of a data file's size whose
    // records differ is offered.
    Recovery found;
    check(readRecovery(recovery, path, found), "the copy is read");
    check(found.bytes == bytes.left(EditData::fileSize + 1), "the copy is read as it is");
    if (found.bytes.size() == EditData::fileSize)
        EditData::splitRecords(found.bytes);

    // Written anew by the program, then removed.
    check(writeRecovery(recovery, path, bytes).isEmpty(), "the copy is written");
    check(readRecovery(recovery, path, found) && found.path == canonicalPath(path),
          "the copy names its file");
    removeRecovery(recovery, path);
    check(!readRecovery(recovery, path, found), "the copy is removed");
    return 0;
}
