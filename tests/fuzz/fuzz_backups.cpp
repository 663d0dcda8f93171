// The dated backups' folder of a data file, holding whatever another
// program put there: listed as 還原備份… lists it, each copy read as it
// reads it, and a new copy added as a save adds one.

#include "backups.h"
#include "datafile.h"
#include "editdata.h"
#include "filekey.h"
#include "fuzzing.h"

#include <QDir>
#include <QFileInfo>

using namespace SafeKeeping;
using Fuzzing::check;

QList<QByteArray> fuzzSeeds()
{
    return {Fuzzing::joined({"/home/player/game/editdata.rqv", "1_20240101-120000.rqv",
                             "2_20240101-120001_unsaved.rqv", "99_20000101-000000.rqv", "x.part",
                             "3_20240101-1200.rqv"}),
            Fuzzing::joined({"", "999999999999999_99999999-999999.rqv", "path.txt",
                             "0_00000000-000000.rqv"})};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The path file, then up to 40 names of files in the folder; each holds
    // a data file's size when its name is of even length.
    const QList<QByteArray> pieces = Fuzzing::parts(data, size, 41);
    const QDir folder(Fuzzing::emptyFolder());
    const QString path = folder.filePath(QStringLiteral("game/editdata.rqv"));
    const QDir copies(folder.filePath(QStringLiteral("backups/") + fileKey(path)));
    check(copies.mkpath(QStringLiteral(".")), "making the folder");
    Fuzzing::writeFile(copies.filePath(QStringLiteral("path.txt")), pieces.at(0));
    for (int i = 1; i < pieces.size(); ++i) {
        const QString name = QString::fromUtf8(pieces.at(i));
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QChar(0))
            || name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        Fuzzing::writeFile(copies.filePath(name), pieces.at(i).size() % 2 == 0
                                                          ? Fuzzing::dataImage(pieces.at(i))
                                                          : pieces.at(i));
    }

    const QString backups = folder.filePath(QStringLiteral("backups"));
    const QVector<Backup> listed = listBackups(backups, path);
    int first = 0;
    for (const Backup &backup : listed) {
        QByteArray image;
        EditData::readDataFile(backup.file, image);
        first += backup.first;
    }
    check(first <= 1, "one copy at most is the first");

    // A new copy is kept whatever the folder holds, and the oldest copies go
    // beyond maxBackups.
    QString copy;
    check(addBackup(backups, path, "new", BackupKind::Unsaved, &copy).isEmpty()
                  && QFileInfo(copy).isFile(),
          "adding a copy");
    check(listBackups(backups, path).size() <= qMax(listed.size() + 1, maxBackups),
          "the oldest copies are removed");
    return 0;
}
