#ifndef NAMEPOOLS_H
#define NAMEPOOLS_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// The name pools that batch generation draws family names and given names
// from: three files of one name a line, found beside the program.
namespace Names {

// The three name-pool files, in the order they are read.
constexpr const char *poolFiles[] = {"familyName.dat", "boyName.dat", "girlName.dat"};

// The folder the name pools are read from: the working folder, unless it
// holds none of the three files and the installed folder exists.
QString poolFolder(const QString &workingFolder, const QString &installedFolder);

// The folder an installed program keeps the name pools in, given the folder
// the program lies in: on Windows that folder itself, where the zip and the
// installer put them; elsewhere share/officer-maker beside it.
QString installedPoolFolder(const QString &programFolder);

// The folder the program reads the name pools from: its working folder or,
// when that holds none of the three files, the folder that an installed
// program keeps them in (beside the .exe on Windows). Needs the application
// object.
QString programPoolFolder();

// The names of one name-pool file: for each line (raw bytes, line end
// included), the UTF-8 text up to its first NUL byte, cut at its first comma
// (the whole line when it has none). A name already taken is dropped, so the
// names keep the order of their first occurrence.
QStringList parseNamePool(const QByteArray &bytes);

// The three name pools, loaded once for the whole program.
struct NamePools
{
    QStringList familyNames;
    QStringList boyNames;
    QStringList girlNames;
};

// Reads the three files of folder, in the order of poolFiles, into pools.
// Loading ends at the first file that cannot be opened, leaving its pool and
// those after it empty. Returns the index of that file in poolFiles, or -1
// when all three were read.
int loadNamePools(const QString &folder, NamePools &pools);

} // namespace Names

#endif // NAMEPOOLS_H
