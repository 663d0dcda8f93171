#ifndef RECORDS_H
#define RECORDS_H

#include <QByteArray>
#include <QList>
#include <QString>

// Building data files and records for the tests, and reading them back.
QByteArray blankImage();
QByteArray occupiedRecord(const QByteArray &familyBig5, const QByteArray &givenBig5,
                          quint16 birthYear = 170, quint16 portrait = 0);
QByteArray big5(const QString &text);
QString fromBig5(const QByteArray &bytes);
QList<QByteArray> recordsOf(const QByteArray &image);
// A record whose every byte not set here differs from its neighbours, so
// that a stray write shows; its numbers lie outside the editor's ranges, as
// in a hand-made file. The names are one-character Big5 texts or longer.
QByteArray patternedRecord(const QString &family, const QString &given, int sex, quint16 born,
                           quint16 face, quint16 father);
void putRecord(QByteArray &image, int slot, const QByteArray &record);
// 劉弘, his son 劉備 and grandson 劉禪; 孫尚香, a woman; 關雲長; and an
// officer whose texts a spreadsheet would misread, whose sex is neither and
// whose father is an empty slot, in slots 0 to 5. Abilities are 60 to 63.
QList<QByteArray> sheetOfficers();

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Writes the three bundled name-pool files into dir.
void copyBundledPools(const QString &dir);

#endif // RECORDS_H
