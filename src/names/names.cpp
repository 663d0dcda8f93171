#include "names.h"

#include <QDir>
#include <QFileInfo>
#include <QTextCodec>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Names {

QString poolFolder(const QString &workingFolder, const QString &installedFolder)
{
    const QDir working(workingFolder);
    for (const char *file : poolFiles) {
        if (working.exists(QLatin1String(file)))
            return workingFolder;
    }
    return QFileInfo(installedFolder).isDir() ? installedFolder : workingFolder;
}

QStringList parseNamePool(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const int size = bytes.size();
    const int lines = int(std::count(data, data + size, '\n')) + 1;
    QStringList names;
    names.reserve(lines);

    // The names taken so far, found by hash in an open-addressing table of
    // indexes into names (0 marks a free place). Twice as many places as
    // lines keeps the probes short.
    const quint32 mask = (quint32(1) << (32 - qCountLeadingZeroBits(quint32(2 * lines)))) - 1;
    std::vector<int> table(size_t(mask) + 1, 0);

    int start = 0;
    while (start < size) {
        const void *newline = std::memchr(data + start, '\n', size - start);
        const int end = newline ? static_cast<const char *>(newline) - data + 1 : size;
        // The text ends at a NUL; the name at the first comma before that.
        // A comma byte is always the comma itself in UTF-8.
        const void *nul = std::memchr(data + start, '\0', end - start);
        const int textEnd = nul ? static_cast<const char *>(nul) - data : end;
        const void *comma = std::memchr(data + start, ',', textEnd - start);
        const int nameEnd = comma ? static_cast<const char *>(comma) - data : textEnd;
        QString name = QString::fromUtf8(data + start, nameEnd - start);

        quint32 place = qHash(name) & mask;
        while (table[place] != 0 && names.at(table[place] - 1) != name)
            place = (place + 1) & mask;
        if (table[place] == 0) {
            names.append(std::move(name));
            table[place] = names.size();
        }
        start = end;
    }
    return names;
}

bool encodesExactly(const QString &name, QTextCodec *codec)
{
    if (!codec)
        return false;
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    const QByteArray bytes = codec->fromUnicode(name.constData(), name.size(), &state);
    return state.invalidChars == 0 && codec->toUnicode(bytes) == name;
}

bool encodeName(const QString &name, QTextCodec *codec, QByteArray *bytes)
{
    bytes->clear();
    if (!encodesExactly(name, codec))
        return false;
    *bytes = codec->fromUnicode(name);
    return true;
}

QByteArray fitName(const QString &name, QTextCodec *codec, int maxBytes)
{
    QByteArray fitted;
    if (!codec)
        return fitted;
    int i = 0;
    while (i < name.size()) {
        const int length = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const QByteArray bytes = codec->fromUnicode(name.constData() + i, length);
        if (fitted.size() + bytes.size() > maxBytes)
            break;
        fitted += bytes;
        i += length;
    }
    return fitted;
}

} // namespace Names
