#ifndef TYPEDNAME_H
#define TYPEDNAME_H

#include <QString>

#include <functional>

class QTextCodec;

namespace Names {

// An officer's three names as text: family, given and style name. An empty
// style name means none.
struct PersonName
{
    QString familyName;
    QString givenName;
    QString styleName;
};

bool operator==(const PersonName &a, const PersonName &b);

// Turns simplified Chinese text into traditional; the program uses OpenCC's
// s2t conversion. A converter that cannot convert returns the text as it is.
using ToTraditional = std::function<QString(const QString &)>;

// What a name typed by the player becomes before it is written.
struct NameToWrite
{
    PersonName name; // the names to write
    bool writable = false; // Big5 can write every one of them
    bool converted = false; // they differ from the names typed
};

// The names to write for the names the player typed. When Big5 can write
// every one of them as typed, they are taken as typed and toTraditional is
// not called. Otherwise the player writes simplified Chinese: the given and
// style names are converted whole, and the family name too unless Big5 can
// write it as typed (a family name such as 范 or 于 would otherwise turn
// into another word). When the result is not writable either, the caller
// refuses the name as typed. The codec is the Big5 codec; without one
// nothing is writable.
NameToWrite nameToWrite(const PersonName &typed, QTextCodec *codec,
                        const ToTraditional &toTraditional);

// The names to write when the player edits an officer's names, shown being
// the names the officer had: the names the player changed are typed names,
// judged and converted as nameToWrite does; the others stay as they were,
// neither judged nor converted. converted tells whether the names to write
// differ from the edited ones.
NameToWrite editedNameToWrite(const PersonName &shown, const PersonName &edited, QTextCodec *codec,
                              const ToTraditional &toTraditional);

// The name as the officer list shows it: family name, given name and, when
// there is one, the style name in brackets.
QString listName(const PersonName &name);

// The status text that tells the player a typed name was converted, each
// name as the officer list shows it.
QString conversionMessage(const PersonName &typed, const PersonName &written);

} // namespace Names

#endif // TYPEDNAME_H
