#include "officeredit.h"

#include "big5.h"
#include "editdata.h"

#include <QCoreApplication>
#include <QSet>

#include <cstring>

namespace EditData {

void writeNameField(QByteArray &record, int offset, int fieldSize, const QByteArray &name)
{
    Q_ASSERT(name.size() < fieldSize && offset + fieldSize <= record.size());
    const char *field = record.constData() + offset;
    const void *zero = std::memchr(field, '\0', fieldSize);
    const int oldLength = zero ? static_cast<const char *>(zero) - field : fieldSize;
    std::memcpy(record.data() + offset, name.constData(), name.size());
    const int clearTo = qMax(name.size() + 1, oldLength);
    std::memset(record.data() + offset + name.size(), 0, clearTo - name.size());
}

namespace {

struct NameField
{
    QString OfficerDetails::*text;
    int offset;
    int size; // the field's width, the name's zero byte included
};

constexpr NameField nameFields[] = {
        {&OfficerDetails::familyName, familyName, familyNameMaxBytes + 1},
        {&OfficerDetails::givenName, givenName, givenNameMaxBytes + 1},
        {&OfficerDetails::styleName, styleName, styleNameMaxBytes + 1},
};

void writeBytes(QByteArray &record, int offset, const QVector<int> &shown,
                const QVector<int> &edited)
{
    for (int i = 0; i < edited.size(); ++i) {
        if (edited.at(i) != shown.value(i))
            writeU8(record, offset + i, quint8(edited.at(i)));
    }
}

} // namespace

EditRefusal applyOfficerEdit(QByteArray &record, const OfficerDetails &shown,
                             const OfficerDetails &edited, QTextCodec *codec)
{
    QByteArray result = record;
    QByteArray encoded[3];
    for (int i = 0; i < 3; ++i) {
        const QString &name = edited.*nameFields[i].text;
        if (name != shown.*nameFields[i].text && !Names::encodeName(name, codec, &encoded[i]))
            return EditRefusal::Unencodable;
    }
    for (int i = 0; i < 3; ++i) {
        const NameField &field = nameFields[i];
        if (edited.*field.text == shown.*field.text)
            continue;
        if (encoded[i].size() >= field.size)
            return EditRefusal::TooLong;
        writeNameField(result, field.offset, field.size, encoded[i]);
    }
    // Both names gone would make the slot count as empty.
    if ((edited.familyName.isEmpty() && edited.givenName.isEmpty()) || isEmptySlot(result))
        return EditRefusal::NoName;

    if (edited.birthYear != shown.birthYear)
        writeU16(result, birthYear, quint16(edited.birthYear));
    if (edited.portrait != shown.portrait)
        writeU16(result, portrait, quint16(edited.portrait));
    writeBytes(result, abilities, shown.abilities, edited.abilities);
    writeBytes(result, aptitudes, shown.aptitudes, edited.aptitudes);
    writeBytes(result, skillsA, shown.skillsA, edited.skillsA);
    writeBytes(result, skillsB, shown.skillsB, edited.skillsB);
    if (edited.characterCode != shown.characterCode)
        writeU8(result, characterCode, quint8(edited.characterCode));
    if (edited.fatherId != shown.fatherId) {
        writeU16(result, fatherId, edited.fatherId);
        writeU16(result, fatherId2, edited.fatherId);
    }
    record = result;
    return EditRefusal::None;
}

QVector<PortraitChoice> portraitChoices(const QList<QByteArray> &records, int slot, int sex)
{
    QVector<PortraitChoice> choices;
    if (sex != 0 && sex != 1)
        return choices;
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    const PortraitPool &generic = sex == 0 ? male : female;
    QSet<quint16> used;
    for (int other = 0; other < records.size(); ++other) {
        if (other != slot && !isEmptySlot(records.at(other)))
            used.insert(readU16(records.at(other), portrait));
    }
    const PortraitPool &all = sex == 0 ? allMale : allFemale;
    choices.reserve(all.size());
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const quint16 number = it.key();
        const char *kind =
                !generic.contains(number) ? QT_TRANSLATE_NOOP("OfficerDialog", "（歷史）")
                : used.contains(number) ? QT_TRANSLATE_NOOP("OfficerDialog", "（通用，已用）")
                                        : QT_TRANSLATE_NOOP("OfficerDialog", "（通用）");
        choices.append({number, QString::number(number)
                                        + QCoreApplication::translate("OfficerDialog", kind)});
    }
    return choices;
}

} // namespace EditData
