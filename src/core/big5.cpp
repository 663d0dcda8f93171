#include "big5.h"

#include <QTextCodec>

#include <algorithm>
#include <vector>

namespace Names {

namespace {

// The byte pairs that two pairs of Big5 decode to one character; where that
// happens, these are the ones written (those of the Windows code page), and
// elsewhere the lower pair.
constexpr quint16 preferredPairs[] = {0xA451, 0xA4CA, 0xF9E9, 0xF9EA, 0xF9EB, 0xF9F9};

bool isPrivateUse(uint c)
{
    return c >= 0xE000 && c <= 0xF8FF;
}

// Characters with no visible form (soft hyphen, joiners, direction marks,
// variation selectors, the byte order mark and the like): a name keeps
// nothing of them when it is fitted into a record.
bool isIgnorable(uint c)
{
    static constexpr uint ranges[][2] = {
            {0x00AD, 0x00AD},   {0x034F, 0x034F}, {0x061C, 0x061C},   {0x115F, 0x1160},
            {0x17B4, 0x17B5},   {0x180B, 0x180F}, {0x200B, 0x200F},   {0x202A, 0x202E},
            {0x2060, 0x206F},   {0x3164, 0x3164}, {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},
            {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
            {0xE0000, 0xE0FFF},
    };
    for (const auto &range : ranges) {
        if (c >= range[0] && c <= range[1])
            return true;
    }
    return false;
}

// The inverse of the codec's decoding over Big5's standard ranges: for each
// character of the Basic Multilingual Plane, the byte pair (lead byte high)
// that decodes to it, or 0. The user-defined areas (lead bytes 0x81 to 0xA0
// and 0xFA to 0xFE, and 0xC6A1 to 0xC8FE), which decode to private-use
// characters, are left out, and so is every pair that decodes to anything
// but one character. ASCII is written as itself and is not in the table.
const std::vector<quint16> &big5Table(QTextCodec *codec)
{
    static QTextCodec *builtFor = nullptr;
    static std::vector<quint16> table;
    if (builtFor == codec)
        return table;
    builtFor = codec;
    table.assign(0x10000, 0);

    std::vector<quint16> pairs;
    for (uint lead = 0xA1; lead <= 0xF9; ++lead) {
        for (uint trail = 0x40; trail <= 0xFE; ++trail) {
            const quint16 pair = quint16(lead << 8 | trail);
            if ((trail > 0x7E && trail < 0xA1) || (pair >= 0xC6A1 && pair <= 0xC8FE))
                continue;
            pairs.push_back(pair);
        }
    }
    QByteArray bytes;
    bytes.reserve(int(pairs.size()) * 2);
    for (quint16 pair : pairs) {
        bytes.append(char(pair >> 8));
        bytes.append(char(pair & 0xFF));
    }
    // All at once; pair by pair if some pair did not decode to one unit.
    QString decoded = codec->toUnicode(bytes);
    const bool aligned = decoded.size() == int(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) {
        QChar c;
        if (aligned) {
            c = decoded.at(int(i));
        } else {
            const QString one = codec->toUnicode(bytes.constData() + 2 * i, 2);
            if (one.size() != 1)
                continue;
            c = one.at(0);
        }
        const uint u = c.unicode();
        if (u < 0x80 || c.isSurrogate() || u == 0xFFFD || isPrivateUse(u))
            continue;
        const quint16 pair = pairs[i];
        if (table[u] == 0
            || std::find(std::begin(preferredPairs), std::end(preferredPairs), pair)
                       != std::end(preferredPairs))
            table[u] = pair;
    }
    return table;
}

// Appends the Big5 bytes of one character; false when Big5 has none.
bool appendBig5(const std::vector<quint16> &table, uint c, QByteArray *bytes)
{
    if (c < 0x80) {
        bytes->append(char(c));
        return true;
    }
    if (c > 0xFFFF || table[c] == 0)
        return false;
    bytes->append(char(table[c] >> 8));
    bytes->append(char(table[c] & 0xFF));
    return true;
}

// The Big5 bytes of the whole name; false when some character has none.
bool toBig5(const QString &name, QTextCodec *codec, QByteArray *bytes)
{
    bytes->clear();
    const std::vector<quint16> &table = big5Table(codec);
    bytes->reserve(2 * name.size());
    for (QChar c : name) {
        if (c.isSurrogate() || !appendBig5(table, c.unicode(), bytes))
            return false;
    }
    return true;
}

} // namespace

bool encodesExactly(const QString &name, QTextCodec *codec)
{
    if (!codec)
        return false;
    QByteArray bytes;
    return toBig5(name, codec, &bytes) && codec->toUnicode(bytes) == name;
}

bool encodeName(const QString &name, QTextCodec *codec, QByteArray *bytes)
{
    bytes->clear();
    if (!encodesExactly(name, codec))
        return false;
    toBig5(name, codec, bytes);
    return true;
}

QByteArray fitName(const QString &name, QTextCodec *codec, int maxBytes)
{
    QByteArray fitted;
    if (!codec)
        return fitted;
    const std::vector<quint16> &table = big5Table(codec);
    int i = 0;
    while (i < name.size()) {
        // A character Big5 lacks is written as '?', one with no visible form
        // not at all.
        uint c = name.at(i).unicode();
        int length = 1;
        if (name.at(i).isHighSurrogate() && i + 1 < name.size()
            && name.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name.at(i), name.at(i + 1));
            length = 2;
        }
        QByteArray bytes;
        if (!appendBig5(table, c, &bytes) && !isIgnorable(c))
            bytes = "?";
        if (fitted.size() + bytes.size() > maxBytes)
            break;
        fitted += bytes;
        i += length;
    }
    return fitted;
}

} // namespace Names
