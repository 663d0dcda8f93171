#ifndef READERROR_H
#define READERROR_H

#include "datafile.h"

#include <QString>

// Why a data file was refused, as the player is told: fileName names the
// file where the text names it.
QString readErrorText(EditData::ReadError error, const QString &fileName);

#endif // READERROR_H
