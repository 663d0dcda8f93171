#ifndef DATAFOLDER_H
#define DATAFOLDER_H

#include <QString>

// Keeps what the program keeps outside the data files (recovery copies,
// dated backups, settings) away from the player's own and from every other
// run of the tests: in Qt's test folders, under a name of this run's own,
// removed when the test ends. Call it before the first window or document
// is made. Returns the folder the program's data go to.
QString useOwnDataFolder();

#endif // DATAFOLDER_H
