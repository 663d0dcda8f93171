#ifndef CONSOLE_H
#define CONSOLE_H

#include <QByteArray>
#include <QString>

// The command line's standard streams. Text goes to a Windows console as
// UTF-16, whatever the console's code page, so that Chinese reads correctly;
// redirected to a file or a pipe, and on other systems, it is UTF-8. Bytes
// (a data file, a CSV file) go out and come in as they are.
namespace Console {

// Sets the standard streams to pass bytes unchanged: on Windows they would
// otherwise turn every LF into CR LF.
void setUp();

// Writes text to standard output or standard error. False when it could
// not be written.
bool out(const QString &text);
bool err(const QString &text);
// Writes bytes to standard output as they are.
bool outBytes(const QByteArray &bytes);

// Reads standard input to its end, a pipe too, at most limit bytes and one
// more, which tells that there was more. False when it could not be read.
bool readIn(qint64 limit, QByteArray &bytes);

// Writes out what standard output still holds. False when any of its
// writes failed.
bool flush();

} // namespace Console

#endif // CONSOLE_H
