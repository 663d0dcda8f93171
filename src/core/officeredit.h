#ifndef OFFICEREDIT_H
#define OFFICEREDIT_H

#include "officerdetails.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

class QTextCodec;

namespace EditData {

// The largest value the editor lets each field take; the smallest is 0.
constexpr int maxBirthYear = 65535;
constexpr int maxAbility = 148;
constexpr int maxAptitude = 3;
constexpr int maxSkillLevel = 9;
constexpr int maxCharacterCode = 3;

// Why an edit was not written.
enum class EditRefusal {
    None,
    Unencodable, // a name has a character that Big5 cannot hold
    TooLong, // a name takes more bytes than its field holds
    NoName, // the officer would have neither family nor given name
};

// Writes a name over the field at offset, which is fieldSize bytes wide: its
// bytes, one zero byte, then zero bytes up to the end of the text the field
// held, so nothing of a longer old name stays readable. The bytes behind the
// old text keep their values, and nothing is written past the field. The
// name must leave room for its zero byte.
void writeNameField(QByteArray &record, int offset, int fieldSize, const QByteArray &name);

// Writes into the record every editable field of edited that differs from
// shown, the values the record held when the editor opened; the other bytes
// stay as they are. The names are encoded with codec. A refused edit writes
// nothing.
EditRefusal applyOfficerEdit(QByteArray &record, const OfficerDetails &shown,
                             const OfficerDetails &edited, QTextCodec *codec);

struct PortraitChoice
{
    quint16 number;
    QString text;
};

// The portraits an officer of the given sex may take, ascending: every
// number of that sex's whole pool, marked as generic, generic and used by
// another occupied officer than the one in slot, or historical. A sex other
// than 0 or 1 has none.
QVector<PortraitChoice> portraitChoices(const QList<QByteArray> &records, int slot, int sex);

} // namespace EditData

#endif // OFFICEREDIT_H
