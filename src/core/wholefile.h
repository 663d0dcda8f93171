#ifndef WHOLEFILE_H
#define WHOLEFILE_H

#include <QByteArray>
#include <QString>

class QFileDevice;

// Reading and writing files whole: a write either replaces a file or leaves
// it as it was, and every failure says why, as the system does.
namespace SafeKeeping {

// Reads at most maxBytes of the regular file at path into bytes. Returns
// what went wrong, or an empty string; on failure bytes is left as it was.
// Only a regular file is read, since opening a pipe would block.
QString readFileHead(const QString &path, qint64 maxBytes, QByteArray &bytes);

// Makes the folder at path and those above it that are missing. Returns why
// the first folder that could not be made was not, or an empty string once
// the folder is there (or a file in its place, which the next call on it
// reports).
QString makeFolder(const QString &path);

// Writes bytes to a file opened unbuffered, in as many writes as it takes.
// Returns why the first write that failed did, or an empty string.
QString writeAll(QFileDevice &file, const QByteArray &bytes);

// Writes bytes whole to the file at path through QSaveFile, so that the file
// is either replaced whole or left as it was, and a failure is never taken
// for success; creates its folder if needed. Returns what went wrong, as the
// call that failed first says it, or an empty string.
QString writeWhole(const QString &path, const QByteArray &bytes);

// Lets a write past the file-size limit of the process (ulimit -f) fail with
// its reason, as any other failed write, instead of ending the program.
void ignoreFileSizeSignal();

} // namespace SafeKeeping

#endif // WHOLEFILE_H
