#ifndef STARTUP_H
#define STARTUP_H

#include "translations.h"

// Qt's high-DPI scaling and the names under which settings and data are
// kept, set before the application object exists; a write past the
// file-size limit made to fail rather than end the program.
void prepareApplication();

#endif // STARTUP_H
