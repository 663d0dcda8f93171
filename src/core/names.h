#ifndef NAMES_H
#define NAMES_H

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextCodec;

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

// Names are written by the program's own Big5 encoder, the inverse of the
// codec's decoding over Big5's standard ranges (ASCII as itself, no
// user-defined areas), so that every build writes the same bytes whatever
// its Qt's Big5 codec would write. The codec is the Big5 codec; without one
// nothing is encoded.

// True when every character of the name has Big5 bytes and the codec
// decodes them back to the same name.
bool encodesExactly(const QString &name, QTextCodec *codec);

// The name's Big5 bytes as they are written into a record. False, with
// bytes left empty, when some character of it cannot be written.
bool encodeName(const QString &name, QTextCodec *codec, QByteArray *bytes);

// The encoded name cut to at most maxBytes bytes at a character boundary. A
// character Big5 lacks is written as '?', one with no visible form (a byte
// order mark, a joiner) not at all.
QByteArray fitName(const QString &name, QTextCodec *codec, int maxBytes);

} // namespace Names

#endif // NAMES_H
