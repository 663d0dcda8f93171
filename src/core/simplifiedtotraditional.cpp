#include "simplifiedtotraditional.h"

#include <QDir>
#include <QFile>

namespace Names {

namespace {

// The length of the character at i: two code units for a surrogate pair.
int characterLength(const QString &text, int i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                   ? 2
                   : 1;
}

} // namespace

bool SimplifiedToTraditional::Dictionary::read(const QByteArray &text, QString *error)
{
    int lineNumber = 0;
    int start = 0;
    while (start < text.size()) {
        int end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        ++lineNumber;
        QByteArray line = text.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const int tab = line.indexOf('\t');
        if (tab <= 0) {
            *error = QStringLiteral("line %1 is no entry").arg(lineNumber);
            return false;
        }
        const QString key = QString::fromUtf8(line.constData(), tab);
        int valueEnd = line.indexOf(' ', tab + 1);
        if (valueEnd < 0)
            valueEnd = line.size();
        if (!firstValues.contains(key))
            firstValues.insert(key,
                               QString::fromUtf8(line.constData() + tab + 1, valueEnd - tab - 1));
        longestKey = qMax(longestKey, key.size());
    }
    return true;
}

int SimplifiedToTraditional::Dictionary::matchPrefix(const QString &text, int from, int to,
                                                     QString *value) const
{
    for (int length = qMin(longestKey, to - from); length > 0; --length) {
        // A key is looked up in place, without copying the text.
        const auto found =
                firstValues.constFind(QString::fromRawData(text.constData() + from, length));
        if (found != firstValues.cend()) {
            *value = found.value();
            return length;
        }
    }
    return 0;
}

bool SimplifiedToTraditional::load(const QString &folder, QString *error)
{
    Dictionary dictionaries[2];
    const char *const files[2] = {phrasesFile, charactersFile};
    for (int i = 0; i < 2; ++i) {
        QFile file(QDir(folder).filePath(QLatin1String(files[i])));
        QString why;
        if (!file.open(QIODevice::ReadOnly))
            why = file.errorString();
        else if (dictionaries[i].read(file.readAll(), &why)
                 && dictionaries[i].firstValues.isEmpty())
            why = QStringLiteral("no entry");
        if (!why.isEmpty()) {
            *error = QDir::toNativeSeparators(file.fileName()) + QStringLiteral(": ") + why;
            return false;
        }
    }
    m_phrases = dictionaries[0];
    m_characters = dictionaries[1];
    return true;
}

QString SimplifiedToTraditional::convert(const QString &text) const
{
    if (m_phrases.firstValues.isEmpty() && m_characters.firstValues.isEmpty())
        return text;
    // Segments: each phrase found, and each run of characters between them.
    QString converted;
    converted.reserve(text.size());
    int run = -1; // where the current run of characters began
    int i = 0;
    while (i < text.size()) {
        QString value;
        const int length = m_phrases.matchPrefix(text, i, text.size(), &value);
        if (length == 0) {
            if (run < 0)
                run = i;
            i += characterLength(text, i);
            continue;
        }
        if (run >= 0)
            convertSegment(text, run, i, &converted);
        run = -1;
        convertSegment(text, i, i + length, &converted);
        i += length;
    }
    if (run >= 0)
        convertSegment(text, run, text.size(), &converted);
    return converted;
}

void SimplifiedToTraditional::convertSegment(const QString &text, int from, int to,
                                             QString *converted) const
{
    int i = from;
    while (i < to) {
        QString value;
        int length = m_phrases.matchPrefix(text, i, to, &value);
        if (length == 0)
            length = m_characters.matchPrefix(text, i, to, &value);
        if (length > 0) {
            converted->append(value);
        } else {
            length = characterLength(text, i);
            converted->append(text.constData() + i, length);
        }
        i += length;
    }
}

} // namespace Names
