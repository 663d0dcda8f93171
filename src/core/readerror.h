#ifndef READERROR_H
#define READERROR_H

#include "datafile.h"

#include <QString>

// Why a data file was refused, as the player is told: path names the file
// where the text names it, in the system's separators.
QString readErrorText(EditData::ReadError error, const QString &path);

// What went wrong writing a data file, as the player is told; empty for a
// file written.
QString writeErrorText(EditData::WriteError error);

#endif // READERROR_H
