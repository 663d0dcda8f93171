#ifndef BIG5_H
#define BIG5_H

#include <QByteArray>
#include <QString>

class QTextCodec;

namespace Names {

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

#endif // BIG5_H
