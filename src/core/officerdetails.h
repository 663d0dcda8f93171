#ifndef OFFICERDETAILS_H
#define OFFICERDETAILS_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

class QTextCodec;

namespace EditData {

// What one record holds, ready to be shown. Numbers are the stored values,
// whether or not they lie in the ranges that the generator writes.
struct OfficerDetails
{
    int id = 0; // officerIdBase + slot
    QString title; // the name as the officer list shows it
    QString familyName;
    QString givenName;
    QString styleName;
    QString sex; // "男", "女" or the stored number
    int gender = 0; // the stored number: 0 male, 1 female
    int birthYear = 0;
    int portrait = 0;
    QString portraitKind; // "通用", "歷史" or "其他"
    QVector<int> abilities; // 4 values
    QVector<int> aptitudes; // 3 values
    QVector<int> skillsA; // 10 values
    QVector<int> skillsB; // 10 values
    int characterCode = 0;
    // "ID name" as officerIdAndName gives it when the father link names an
    // occupied slot, noFatherText() for noFather, otherwise the stored number.
    QString father;
    quint16 fatherId = 0xFFFF;
};

// An officer as the lists of fathers show him: his ID, a space, then his
// family and given names; the ID alone when both names are empty.
QString officerIdAndName(const QByteArray &record, int slot, QTextCodec *codec);

// "無" (none), as the table and its CSV file show a father link to nobody,
// in the language of the interface.
QString noFatherText();

// The sex as the table shows it: "男", "女" or the stored number.
QString sexText(quint8 sex);

// The father link as the table shows it: "ID name" as officerIdAndName
// gives it when it names an occupied slot, noFatherText() for noFather,
// otherwise the stored number.
QString fatherText(const QList<QByteArray> &records, quint16 id, QTextCodec *codec);

// The kind of a portrait number: "通用" (generic), "歷史" (historical) or
// "其他" when it belongs to neither pool.
QString portraitKind(quint16 number);

// Decodes the record in slot. The names are read as readName reads them; a
// null codec leaves them empty. A slot outside the records gives empty
// details.
OfficerDetails officerDetails(const QList<QByteArray> &records, int slot, QTextCodec *codec);

} // namespace EditData

#endif // OFFICERDETAILS_H
