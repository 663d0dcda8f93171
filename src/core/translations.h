#ifndef TRANSLATIONS_H
#define TRANSLATIONS_H

#include "language.h"

class QCoreApplication;

// The names under which the program keeps its settings and data: the window
// and the command line use the same, so they read the same settings and
// keep the same backups. Set before the first settings are read.
void setProgramNames();

// Loads Qt's own translation into the language given, so that the file
// dialog and the message-box buttons speak the language of the window.
// Returns whether the translation was found.
bool installQtTranslation(QCoreApplication &app,
                          InterfaceLanguage language = InterfaceLanguage::Traditional);

// Installs the translations of the language given: Qt's own and, for
// simplified Chinese, the program's (its texts are written in traditional
// Chinese), and makes it the language in use. Returns whether every
// translation was found.
bool installTranslations(QCoreApplication &app, InterfaceLanguage language);

// The language chosen in the menu, kept in the settings, or without a
// choice the system's; installs its translations. Returns the language.
InterfaceLanguage startInterfaceLanguage(QCoreApplication &app);

#endif // TRANSLATIONS_H
