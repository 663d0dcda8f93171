#include "editdata.h"

#include <QTextCodec>
#include <QtEndian>

#include <cstring>

namespace EditData {

quint8 readU8(const QByteArray &record, int offset)
{
    return static_cast<quint8>(record.at(offset));
}

void writeU8(QByteArray &record, int offset, quint8 value)
{
    record[offset] = static_cast<char>(value);
}

quint16 readU16(const QByteArray &record, int offset)
{
    Q_ASSERT(offset >= 0 && offset + 2 <= record.size());
    return qFromLittleEndian<quint16>(record.constData() + offset);
}

void writeU16(QByteArray &record, int offset, quint16 value)
{
    Q_ASSERT(offset >= 0 && offset + 2 <= record.size());
    qToLittleEndian<quint16>(value, record.data() + offset);
}

bool isEmptySlot(const QByteArray &record)
{
    Q_ASSERT(record.size() >= givenName + 4);
    return qFromLittleEndian<quint32>(record.constData() + familyName) == 0
           && qFromLittleEndian<quint32>(record.constData() + givenName) == 0;
}

QList<QByteArray> splitRecords(const QByteArray &image)
{
    QList<QByteArray> records;
    records.reserve(recordCount);
    const bool whole = image.size() >= recordAreaEnd;
    for (int i = 0; i < recordCount; ++i) {
        QByteArray record(recordSize, '\0');
        if (whole)
            std::memcpy(record.data(), image.constData() + recordAreaOffset + i * recordSize,
                        recordSize);
        records.append(record);
    }
    return records;
}

void writeRecordsToImage(const QList<QByteArray> &records, QByteArray &image)
{
    Q_ASSERT(records.size() == recordCount && image.size() >= recordAreaEnd);
    for (int i = 0; i < recordCount; ++i) {
        Q_ASSERT(records.at(i).size() == recordSize);
        std::memcpy(image.data() + recordAreaOffset + i * recordSize, records.at(i).constData(),
                    recordSize);
    }
}

QString readName(const QByteArray &record, int offset, QTextCodec *codec)
{
    if (!codec || offset >= record.size())
        return QString();
    const char *begin = record.constData() + offset;
    const void *zero = std::memchr(begin, '\0', record.size() - offset);
    const int length = zero ? static_cast<const char *>(zero) - begin : record.size() - offset;
    return codec->toUnicode(begin, length);
}

QString officerName(const QByteArray &record, QTextCodec *codec)
{
    QString name = readName(record, familyName, codec) + readName(record, givenName, codec);
    if (qFromLittleEndian<quint32>(record.constData() + styleName) != 0)
        name += QLatin1Char('(') + readName(record, styleName, codec) + QLatin1Char(')');
    return name;
}

QStringList officerNameRows(const QList<QByteArray> &records, QTextCodec *codec)
{
    QStringList rows;
    for (const QByteArray &record : records) {
        if (!isEmptySlot(record))
            rows.append(officerName(record, codec));
    }
    return rows;
}

QVector<int> occupiedSlots(const QList<QByteArray> &records)
{
    QVector<int> occupied;
    for (int slot = 0; slot < records.size(); ++slot) {
        if (!isEmptySlot(records.at(slot)))
            occupied.append(slot);
    }
    return occupied;
}

namespace {

// Inclusive ranges of portrait numbers. Generic portraits are set aside for
// created officers; the others show historical figures.
constexpr int genericMale[][2] = {{1130, 1179}, {1210, 1219}, {1230, 1240}, {1248, 1258}};
constexpr int genericFemale[][2] = {{1180, 1209}, {1220, 1229}, {1241, 1247}, {1259, 1265}};
constexpr int historicMale[][2] = {{1, 951}, {992, 1011}};
constexpr int historicFemale[][2] = {{952, 991}};

template<size_t N>
void insertRanges(PortraitPool &pool, const int (&ranges)[N][2])
{
    for (const auto &range : ranges) {
        for (int number = range[0]; number <= range[1]; ++number)
            pool.insert(static_cast<quint16>(number), false);
    }
}

} // namespace

void buildPortraitPools(PortraitPool &male, PortraitPool &female, PortraitPool &allMale,
                        PortraitPool &allFemale)
{
    male.clear();
    female.clear();
    allMale.clear();
    allFemale.clear();
    insertRanges(male, genericMale);
    insertRanges(female, genericFemale);
    insertRanges(allMale, historicMale);
    insertRanges(allMale, genericMale);
    insertRanges(allFemale, historicFemale);
    insertRanges(allFemale, genericFemale);
}

void markUsedPortraits(const QList<QByteArray> &records, PortraitPool &male, PortraitPool &female)
{
    for (const QByteArray &record : records) {
        if (isEmptySlot(record))
            continue;
        const quint16 number = readU16(record, portrait);
        const auto m = male.find(number);
        if (m != male.end())
            *m = true;
        const auto f = female.find(number);
        if (f != female.end())
            *f = true;
    }
}

} // namespace EditData
