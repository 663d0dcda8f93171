#ifndef INPUTFILE_H
#define INPUTFILE_H

#include <QByteArray>
#include <QString>

class QIODevice;

// Reading a small text file that the player hands the program, such as a
// CSV file or a text holding an officer code, whole into memory.
namespace EditData {

// A CSV file of every officer takes some ten kilobytes; anything much larger
// is not one and is not read into memory.
constexpr qint64 maxInputSize = 16 * 1024 * 1024;

// Reads what the open device holds, at most maxInputSize bytes, into bytes.
// Returns what went wrong, as the player is told, or an empty string; on
// failure bytes is left as it was.
QString readInput(QIODevice &device, QByteArray &bytes);

// The same for the file at path.
QString readInputFile(const QString &path, QByteArray &bytes);

} // namespace EditData

#endif // INPUTFILE_H
