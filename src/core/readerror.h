#ifndef READERROR_H
#define READERROR_H

#include "datafile.h"

#include <QString>

// Why a data file was refused, as the player is told: path names the file
// where the text names it, in the system's separators.
QString readErrorText(EditData::ReadError error, const QString &path);

#endif // READERROR_H
