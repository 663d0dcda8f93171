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
void putRecord(QByteArray &image, int slot, const QByteArray &record);

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Writes the three bundled name-pool files into dir.
void copyBundledPools(const QString &dir);

#endif // RECORDS_H
