#ifndef EDITDATA_H
#define EDITDATA_H

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class QTextCodec;

// Layout of the game's custom-officer data file, editdata.rqv, and of the
// officer records inside it. Every byte not named here is carried through
// unchanged.
namespace EditData {

constexpr int fileSize = 262144;
constexpr int recordAreaOffset = 16064;
constexpr int recordCount = 150;
constexpr int recordSize = 1118;
constexpr int recordAreaEnd = recordAreaOffset + recordCount * recordSize;

// The game refers to the officer in slot i by officerIdBase + i.
constexpr quint16 officerIdBase = 700;
constexpr quint16 noFather = 0xFFFF;

// Field offsets inside one record.
constexpr int familyName = 0;
constexpr int givenName = 5;
constexpr int styleName = 35;
constexpr int gender = 1054;
constexpr int portrait = 1055;
constexpr int attr1057 = 1057;
constexpr int styleCode = 1058;
constexpr int birthYear = 1059;
constexpr int word1061 = 1061;
constexpr int abilities = 1063; // 4 x u8
constexpr int aptitudes = 1067; // 3 x u8
constexpr int attr1070 = 1070; // u16
constexpr int skillsA = 1072; // 10 x u8
constexpr int skillsB = 1082; // 10 x u8
constexpr int attr1092 = 1092;
constexpr int attr1093 = 1093;
constexpr int fatherId = 1094;
constexpr int fatherId2 = 1096;
constexpr int characterCode = 1106;
constexpr int typeFlag = 1107;
constexpr int attr1108 = 1108;
constexpr int attr1109 = 1109;
constexpr int attr1110 = 1110;
constexpr int attr1111 = 1111;
constexpr int attr1112 = 1112;
constexpr int attr1113 = 1113;
constexpr int attr1114 = 1114;
constexpr int attr1115 = 1115;

// The most Big5 bytes a name may take; a zero byte follows it in its field.
constexpr int familyNameMaxBytes = 4;
constexpr int givenNameMaxBytes = 29;
constexpr int styleNameMaxBytes = 29;

quint8 readU8(const QByteArray &record, int offset);
void writeU8(QByteArray &record, int offset, quint8 value);
quint16 readU16(const QByteArray &record, int offset);
void writeU16(QByteArray &record, int offset, quint16 value);

// A slot is free exactly when bytes 0-3 and 5-8 of its record are zero.
bool isEmptySlot(const QByteArray &record);

// Cuts the record area of a whole file image into 150 independent records.
// An image too short for the record area gives 150 all-zero records.
QList<QByteArray> splitRecords(const QByteArray &image);

// Copies the records back into the record area of the image.
void writeRecordsToImage(const QList<QByteArray> &records, QByteArray &image);

// The zero-terminated Big5 text starting at offset, never read past the
// end of the record. Without a codec the text is empty.
QString readName(const QByteArray &record, int offset, QTextCodec *codec);

// An officer's name as the list shows it: family name, given name and, when
// bytes 35-38 are not all zero, the style name in brackets.
QString officerName(const QByteArray &record, QTextCodec *codec);

// One row per occupied slot, in slot order, each the officer's name.
QStringList officerNameRows(const QList<QByteArray> &records, QTextCodec *codec);

// The occupied slots, in ascending order: slot of each row of the list.
QVector<int> occupiedSlots(const QList<QByteArray> &records);

using PortraitPool = QMap<quint16, bool>;

// Fills the four pools with their fixed portrait numbers, every flag clear.
void buildPortraitPools(PortraitPool &male, PortraitPool &female, PortraitPool &allMale,
                        PortraitPool &allFemale);

// Flags every generic portrait that an occupied record already carries.
void markUsedPortraits(const QList<QByteArray> &records, PortraitPool &male, PortraitPool &female);

} // namespace EditData

#endif // EDITDATA_H
