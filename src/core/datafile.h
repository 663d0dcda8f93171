#ifndef DATAFILE_H
#define DATAFILE_H

#include <QByteArray>
#include <QString>

// Reading a data file from disk, and the backup kept beside it.
namespace EditData {

// HeldElsewhere comes only from opening a file in a window: another window
// or another running copy of the program has it open.
enum class ReadError { None, CannotOpen, WrongSize, HeldElsewhere };

// Reads the data file at path whole into image. Only a regular file is read,
// since opening a pipe would block until something writes to it, and only
// a file of exactly fileSize bytes is taken. On failure image is left as it
// was.
ReadError readDataFile(const QString &path, QByteArray &image);

// Writes image as the data file at path, replacing the file whole or leaving
// it as it was (where no file can be made beside it, the file is written in
// place). Returns what went wrong, as the player is told, or an empty string
// once the file is written; reason, when given, receives why, as the call
// that failed first says it.
QString writeDataFile(const QString &path, const QByteArray &image, QString *reason = nullptr);

// Where the backup of the data file at path is kept: beside it, with ".bak"
// after its name.
QString backupPath(const QString &path);

// Copies the file at path, as it stands, to backupPath(path). An older backup
// is replaced only once the new one has been written whole. Returns what
// went wrong, or an empty string once the backup is written.
QString backUpFile(const QString &path);

} // namespace EditData

#endif // DATAFILE_H
