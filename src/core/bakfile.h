#ifndef BAKFILE_H
#define BAKFILE_H

#include <QString>

// The backup kept beside a data file before the program first writes it.
namespace EditData {

// Where the backup of the data file at path is kept: beside it, with ".bak"
// after its name.
QString backupPath(const QString &path);

// Copies the file at path, as it stands, to backupPath(path). An older backup
// is replaced only once the new one has been written whole. Returns what
// went wrong, or an empty string once the backup is written.
QString backUpFile(const QString &path);

} // namespace EditData

#endif // BAKFILE_H
