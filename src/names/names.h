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

// The names of one name-pool file: for each line (raw bytes, line end
// included), the UTF-8 text up to its first NUL byte, cut at its first comma
// (the whole line when it has none). A name already taken is dropped, so the
// names keep the order of their first occurrence.
QStringList parseNamePool(const QByteArray &bytes);

// True when the codec encodes every character of the name and decodes the
// bytes back to the same name.
bool encodesExactly(const QString &name, QTextCodec *codec);

// The name's Big5 bytes as they are written into a record. False, with
// bytes left empty, when the codec cannot write every character of it.
bool encodeName(const QString &name, QTextCodec *codec, QByteArray *bytes);

// The encoded name cut to at most maxBytes bytes at a character boundary.
QByteArray fitName(const QString &name, QTextCodec *codec, int maxBytes);

} // namespace Names

#endif // NAMES_H
