#ifndef DATAFILE_H
#define DATAFILE_H

#include <QByteArray>
#include <QString>

// Reading a data file from disk and writing it back.
namespace EditData {

// HeldElsewhere comes only from opening a file in a window: another window
// or another running copy of the program has it open.
enum class ReadError { None, CannotOpen, WrongSize, HeldElsewhere };

// Reads the data file at path whole into image. Only a regular file is read,
// since opening a pipe would block until something writes to it, and only
// a file of exactly fileSize bytes is taken. On failure image is left as it
// was.
ReadError readDataFile(const QString &path, QByteArray &image);

// Why a data file was not written: it could not be opened for writing, or
// writing it failed.
enum class WriteError { None, CannotOpen, Failed };

// Writes image as the data file at path, replacing the file whole or leaving
// it as it was (where no file can be made beside it, the file is written in
// place). reason, when given, receives why it failed, as the call that
// failed first says it.
WriteError writeDataImage(const QString &path, const QByteArray &image, QString *reason = nullptr);

// The same, with what went wrong as the player is told (writeErrorText), or
// an empty string once the file is written.
QString writeDataFile(const QString &path, const QByteArray &image, QString *reason = nullptr);

} // namespace EditData

#endif // DATAFILE_H
