#include "officercode.h"

#include "importofficers.h"

#include <QMimeData>
#include <QSet>
#include <QtEndian>

#include <zlib.h>

namespace EditData {

namespace {

constexpr auto base64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// The most zlib makes of whole officers, whatever their bytes: its bound
// for a stream that does not compress. A longer code is refused before it is
// decompressed, which bounds what a stream made to grow can take.
constexpr int maxCompressedSize = maxOfficerBytes + (maxOfficerBytes >> 12)
                                  + (maxOfficerBytes >> 14) + (maxOfficerBytes >> 25) + 13;
constexpr int maxCodeLength = (maxCompressedSize * 4 + 2) / 3;

bool isBase64Url(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-'
           || u == '_';
}

CopiedOfficers damaged()
{
    CopiedOfficers officers;
    officers.status = CopiedOfficers::Damaged;
    return officers;
}

} // namespace

std::optional<QByteArray> inflateAtMost(const QByteArray &stream, int maxSize)
{
    z_stream inflater = {};
    if (maxSize < 0 || inflateInit(&inflater) != Z_OK)
        return std::nullopt;
    // One byte more than allowed tells a stream that holds more.
    QByteArray bytes(maxSize + 1, Qt::Uninitialized);
    inflater.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stream.constData()));
    inflater.avail_in = uInt(stream.size());
    inflater.next_out = reinterpret_cast<Bytef *>(bytes.data());
    inflater.avail_out = uInt(bytes.size());
    const int result = inflate(&inflater, Z_FINISH);
    const int size = bytes.size() - int(inflater.avail_out);
    inflateEnd(&inflater);
    if (result != Z_STREAM_END || size > maxSize)
        return std::nullopt;
    bytes.truncate(size);
    return bytes;
}

QByteArray officerBytes(const QList<QByteArray> &records, const QVector<int> &chosenSlots)
{
    const QVector<int> chosen = chosenOfficerSlots(records, chosenSlots);
    if (chosen.isEmpty())
        return QByteArray();
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(quint16(chosen.size()), bytes.data());
    for (const int slot : chosen) {
        char id[2];
        qToLittleEndian<quint16>(quint16(officerIdBase + slot), id);
        bytes.append(id, 2);
        bytes.append(records.at(slot));
    }
    return bytes;
}

QString officerCode(const QByteArray &bytes)
{
    // qCompress puts the length in front of the zlib stream.
    const QByteArray stream = qCompress(bytes).mid(4);
    return QLatin1String(codePrefix) + QString::fromLatin1(stream.toBase64(base64Url));
}

QString nativeLineEnd()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

QString officerText(const QList<QByteArray> &records, const QVector<int> &chosenSlots,
                    QTextCodec *codec, const QString &lineEnd)
{
    const QVector<int> chosen = chosenOfficerSlots(records, chosenSlots);
    if (chosen.isEmpty())
        return QString();
    QString text;
    for (const int slot : chosen)
        text += QString::number(officerIdBase + slot) + QLatin1Char(' ')
                + officerName(records.at(slot), codec) + lineEnd;
    return text + officerCode(officerBytes(records, chosen)) + lineEnd;
}

CopiedOfficers officersFromBytes(const QByteArray &bytes)
{
    if (bytes.size() < 2 + copiedOfficerSize || bytes.size() > maxOfficerBytes)
        return damaged();
    const int count = qFromLittleEndian<quint16>(bytes.constData());
    if (bytes.size() != 2 + count * copiedOfficerSize)
        return damaged();

    CopiedOfficers officers;
    QSet<quint16> seen;
    for (int i = 0; i < count; ++i) {
        const char *at = bytes.constData() + 2 + i * copiedOfficerSize;
        const quint16 id = qFromLittleEndian<quint16>(at);
        const QByteArray record(at + 2, recordSize);
        // The program never copies an officer twice; two records under one
        // ID would leave the fathers naming it ambiguous.
        if (id < officerIdBase || id >= officerIdBase + recordCount || seen.contains(id)
            || isEmptySlot(record))
            return damaged();
        seen.insert(id);
        officers.ids.append(id);
        officers.records.append(record);
    }
    officers.status = CopiedOfficers::Valid;
    return officers;
}

CopiedOfficers officersFromText(const QString &text)
{
    const int prefix = text.indexOf(QLatin1String(codePrefix));
    if (prefix < 0)
        return CopiedOfficers();
    const int begin = prefix + int(sizeof(codePrefix)) - 1;
    int end = begin;
    while (end < text.size() && end - begin <= maxCodeLength && isBase64Url(text.at(end)))
        ++end;
    const int length = end - begin;
    // One character left over holds no whole byte.
    if (length == 0 || length > maxCodeLength || length % 4 == 1)
        return damaged();

    const QByteArray stream = QByteArray::fromBase64(text.mid(begin, length).toLatin1(), base64Url);
    const std::optional<QByteArray> bytes = inflateAtMost(stream, maxOfficerBytes);
    return bytes ? officersFromBytes(*bytes) : damaged();
}

std::unique_ptr<QMimeData> officerMimeData(const QList<QByteArray> &records,
                                           const QVector<int> &chosenSlots, QTextCodec *codec)
{
    const QByteArray bytes = officerBytes(records, chosenSlots);
    if (bytes.isEmpty())
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setData(QLatin1String(officersMimeType), bytes);
    data->setText(officerText(records, chosenSlots, codec));
    return data;
}

CopiedOfficers officersFromMimeData(const QMimeData *data)
{
    if (!data)
        return CopiedOfficers();
    if (data->hasFormat(QLatin1String(officersMimeType)))
        return officersFromBytes(data->data(QLatin1String(officersMimeType)));
    return officersFromText(data->text());
}

} // namespace EditData
