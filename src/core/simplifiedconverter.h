#ifndef SIMPLIFIEDCONVERTER_H
#define SIMPLIFIEDCONVERTER_H

#include "simplifiedtotraditional.h"
#include "typedname.h"

#include <QString>

// Converts simplified Chinese into traditional with OpenCC's s2t
// configuration: with the OpenCC library where the program is built with it,
// otherwise with the program's own conversion (Names::SimplifiedToTraditional)
// over OpenCC's s2t dictionaries exported as text. The configuration and the
// dictionaries are loaded at the first conversion, as loading them takes some
// tens of milliseconds. When they cannot be loaded, every text is returned as
// it is, so typed names are judged as typed; the reason is written once to
// the program's log (standard error) and kept in errorString().
class SimplifiedConverter
{
public:
    // With the OpenCC library, reads s2t.json from configFolder, and OpenCC
    // looks for the dictionaries beside it; without it, reads the text
    // dictionaries from configFolder.
    explicit SimplifiedConverter(const QString &configFolder = defaultConfigFolder());
    ~SimplifiedConverter();
    SimplifiedConverter(const SimplifiedConverter &) = delete;
    SimplifiedConverter &operator=(const SimplifiedConverter &) = delete;

    // The folder the program reads s2t.json from: OpenCC's installed data
    // folder. Without the OpenCC library, the folder of the text
    // dictionaries: opencc beside the program, where the Windows packages put
    // them. Needs the application object then.
    static QString defaultConfigFolder();

    // The program's one converter, reading from defaultConfigFolder(): made
    // at the first call, it loads the conversion at its first conversion.
    static const SimplifiedConverter &program();

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
    mutable Names::SimplifiedToTraditional m_own;
    mutable bool m_tried = false;
    mutable QString m_error;
};

#endif // SIMPLIFIEDCONVERTER_H
