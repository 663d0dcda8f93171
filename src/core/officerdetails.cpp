#include "officerdetails.h"

#include "editdata.h"

#include <QCoreApplication>
#include <QTextCodec>

namespace EditData {

namespace {

QVector<int> bytesAt(const QByteArray &record, int offset, int count)
{
    QVector<int> values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append(readU8(record, offset + i));
    return values;
}

} // namespace

QString sexText(quint8 sex)
{
    return sex == 0 ? QStringLiteral("男") : sex == 1 ? QStringLiteral("女") : QString::number(sex);
}

QString fatherText(const QList<QByteArray> &records, quint16 id, QTextCodec *codec)
{
    if (id == noFather)
        return noFatherText();
    const int slot = int(id) - officerIdBase;
    if (slot >= 0 && slot < recordCount && slot < records.size() && !isEmptySlot(records.at(slot)))
        return officerIdAndName(records.at(slot), slot, codec);
    return QString::number(id);
}

QString noFatherText()
{
    return QCoreApplication::translate("OfficerTable", "無");
}

QString officerIdAndName(const QByteArray &record, int slot, QTextCodec *codec)
{
    const QString name = readName(record, familyName, codec) + readName(record, givenName, codec);
    const QString id = QString::number(officerIdBase + slot);
    return name.isEmpty() ? id : id + QLatin1Char(' ') + name;
}

QString portraitKind(quint16 number)
{
    struct Pools
    {
        PortraitPool male, female, allMale, allFemale;
        Pools() { buildPortraitPools(male, female, allMale, allFemale); }
    };
    static const Pools pools;
    if (pools.male.contains(number) || pools.female.contains(number))
        return QStringLiteral("通用");
    if (pools.allMale.contains(number) || pools.allFemale.contains(number))
        return QStringLiteral("歷史");
    return QStringLiteral("其他");
}

OfficerDetails officerDetails(const QList<QByteArray> &records, int slot, QTextCodec *codec)
{
    OfficerDetails details;
    if (slot < 0 || slot >= records.size())
        return details;
    const QByteArray &record = records.at(slot);
    Q_ASSERT(record.size() == recordSize);

    details.id = officerIdBase + slot;
    details.title = officerName(record, codec);
    details.familyName = readName(record, familyName, codec);
    details.givenName = readName(record, givenName, codec);
    details.styleName = readName(record, styleName, codec);
    const quint8 sex = readU8(record, gender);
    details.gender = sex;
    details.sex = sexText(sex);
    details.birthYear = readU16(record, birthYear);
    details.portrait = readU16(record, portrait);
    details.portraitKind = portraitKind(readU16(record, portrait));
    details.abilities = bytesAt(record, abilities, 4);
    details.aptitudes = bytesAt(record, aptitudes, 3);
    details.skillsA = bytesAt(record, skillsA, 10);
    details.skillsB = bytesAt(record, skillsB, 10);
    details.characterCode = readU8(record, characterCode);
    details.fatherId = readU16(record, fatherId);
    details.father = fatherText(records, details.fatherId, codec);
    return details;
}

} // namespace EditData
