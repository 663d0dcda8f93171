#ifndef SIMPLIFIEDTOTRADITIONAL_H
#define SIMPLIFIEDTOTRADITIONAL_H

#include <QHash>
#include <QString>

namespace Names {

// OpenCC's simplified-to-traditional conversion (its s2t configuration) done
// by the program itself, for builds without the OpenCC library. It reads
// OpenCC's two s2t dictionaries in OpenCC's text format, one entry a line:
// the key, a tab, and the values separated by spaces, the first being the
// one to write.
//
// As OpenCC's s2t does, a text is first cut into segments by maximum forward
// matching over the phrases: at each place the longest phrase that begins
// there is a segment of its own, and the characters between such phrases
// make one segment together. Each segment is then converted on its own:
// at each place the longest key of the phrases that begins there, or when
// there is none the longest key of the characters, is replaced by its first
// value; a place that neither matches keeps its character.
class SimplifiedToTraditional
{
public:
    // The files of the two dictionaries, as opencc_dict exports them from
    // OpenCC's STPhrases.ocd2 and STCharacters.ocd2.
    static constexpr const char *phrasesFile = "STPhrases.txt";
    static constexpr const char *charactersFile = "STCharacters.txt";

    // Reads both dictionaries from folder. On failure returns false, says
    // why in error and keeps whatever was loaded before.
    bool load(const QString &folder, QString *error);

    // The text converted; the text itself while nothing is loaded.
    QString convert(const QString &text) const;

private:
    struct Dictionary
    {
        QHash<QString, QString> firstValues;
        int longestKey = 0; // in UTF-16 code units
        // False, naming the line in error, when a line has no tab or no key.
        bool read(const QByteArray &text, QString *error);
        // The length of the longest key that text holds at from, not reaching
        // past to; 0 when none. Its first value goes to value.
        int matchPrefix(const QString &text, int from, int to, QString *value) const;
    };

    void convertSegment(const QString &text, int from, int to, QString *converted) const;

    Dictionary m_phrases;
    Dictionary m_characters;
};

} // namespace Names

#endif // SIMPLIFIEDTOTRADITIONAL_H
