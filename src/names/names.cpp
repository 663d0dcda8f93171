#include "names.h"

#include <QSet>
#include <QTextCodec>

#include <cstring>

namespace Names {

QStringList parseNamePool(const QByteArray &bytes)
{
    QStringList names;
    QSet<QString> seen;
    const char *data = bytes.constData();
    const int size = bytes.size();
    int start = 0;
    while (start < size) {
        const void *newline = std::memchr(data + start, '\n', size - start);
        const int end = newline ? static_cast<const char *>(newline) - data + 1 : size;
        const void *nul = std::memchr(data + start, '\0', end - start);
        const int textEnd = nul ? static_cast<const char *>(nul) - data : end;
        const QString line = QString::fromUtf8(data + start, textEnd - start);
        const int comma = line.indexOf(QLatin1Char(','));
        const QString name = comma < 0 ? line : line.left(comma);
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
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
