#ifndef LANGUAGE_H
#define LANGUAGE_H

#include <QString>
#include <QStringList>

// The language of the interface. The program's own texts are written in
// traditional Chinese; a translation gives them in simplified Chinese. The
// language is chosen at start-up and kept until the program ends.
enum class InterfaceLanguage { Traditional, Simplified };

namespace Language {

// The settings key of the language chosen in the menu.
extern const char *const settingsKey;

// How a language is kept in the settings: "zh_TW" or "zh_CN".
QString code(InterfaceLanguage language);
// The language kept as code; false, leaving *language as it is, for
// anything else.
bool fromCode(const QString &code, InterfaceLanguage *language);

// Simplified when the first of the system's interface languages (as
// QLocale::uiLanguages() lists them, "zh-CN", "zh_SG", "zh-Hans-HK") is
// Chinese written in simplified characters; traditional for any other
// language, and when the list is empty.
InterfaceLanguage systemLanguage(const QStringList &uiLanguages);

// The language to start in: the saved choice when it is one, otherwise the
// system's.
InterfaceLanguage startLanguage(const QStringList &uiLanguages, const QString &saved);

// The language of this run, as start-up set it; traditional until then.
InterfaceLanguage inUse();
void setInUse(InterfaceLanguage language);

} // namespace Language

#endif // LANGUAGE_H
