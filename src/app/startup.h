#ifndef STARTUP_H
#define STARTUP_H

class QCoreApplication;

// Qt's high-DPI scaling and the names under which settings and data are
// kept, set before the application object exists.
void prepareApplication();

// Loads Qt's own Traditional Chinese translation, so that the file dialog
// and the message-box buttons speak the language of the window. The
// program's own texts are written in it already. Returns whether the
// translation was found.
bool installQtTranslation(QCoreApplication &app);

#endif // STARTUP_H
