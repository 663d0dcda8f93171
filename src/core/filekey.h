#ifndef FILEKEY_H
#define FILEKEY_H

#include <QString>

// What the program keeps about a data file outside it (recovery copies,
// dated backups, the lock of the window that has it open) is filed under a
// key made from the file's full path: every copy of the game's file has the
// same name, so the name alone cannot tell them apart.
namespace SafeKeeping {

// The file's full path with links and "." and ".." resolved. For a file
// that no longer exists, its folder is resolved and its name appended, so
// the path is the one it had while it existed.
QString canonicalPath(const QString &path);

// A short hexadecimal hash of canonicalPath(path); the same for every way
// of writing the path of one file. On Windows, where paths ignore case, the
// path is folded to lower case first.
QString fileKey(const QString &path);

} // namespace SafeKeeping

#endif // FILEKEY_H
