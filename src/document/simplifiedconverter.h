#ifndef SIMPLIFIEDCONVERTER_H
#define SIMPLIFIEDCONVERTER_H

#include "typedname.h"

#include <QString>

// Converts simplified Chinese into traditional with OpenCC's s2t
// configuration. The configuration and the dictionaries it names are loaded
// at the first conversion, as loading them takes some tens of milliseconds.
// When they cannot be loaded, or the program is built without OpenCC, every
// text is returned as it is, so typed names are judged as typed; the reason
// is written once to the program's log (standard error) and kept in
// errorString().
class SimplifiedConverter
{
public:
    // Reads s2t.json from configFolder; OpenCC looks for the dictionaries
    // beside it.
    explicit SimplifiedConverter(const QString &configFolder = defaultConfigFolder());
    ~SimplifiedConverter();
    SimplifiedConverter(const SimplifiedConverter &) = delete;
    SimplifiedConverter &operator=(const SimplifiedConverter &) = delete;

    // The folder the program reads s2t.json from: on Windows the folder
    // opencc beside the .exe, where the packages put it; elsewhere OpenCC's
    // installed data folder. Needs the application object on Windows.
    static QString defaultConfigFolder();

    // The text in traditional characters; the text itself when the
    // conversion is not loaded or fails.
    QString convert(const QString &text) const;

    // Loads the conversion if that was not tried yet; true when it is there.
    bool isLoaded() const;

    // Why the conversion could not be loaded; empty while nothing failed.
    QString errorString() const { return m_error; }

    // convert() as a function, for Names::nameToWrite. It refers to this
    // object, which must outlive it.
    Names::ToTraditional function() const
    {
        return [this](const QString &text) { return convert(text); };
    }

private:
    bool load() const;

    QString m_configFolder;
    mutable void *m_handle = nullptr;
    mutable bool m_tried = false;
    mutable QString m_error;
};

#endif // SIMPLIFIEDCONVERTER_H
