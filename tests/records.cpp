#include "records.h"

#include "editdata.h"

#include <QFile>
#include <QTest>
#include <QTextCodec>

QByteArray blankImage()
{
    return QByteArray(EditData::fileSize, '\0');
}

QByteArray big5(const QString &text)
{
    return QTextCodec::codecForName("Big5")->fromUnicode(text);
}

QString fromBig5(const QByteArray &bytes)
{
    return QTextCodec::codecForName("Big5")->toUnicode(bytes);
}

QByteArray occupiedRecord(const QByteArray &familyBig5, const QByteArray &givenBig5,
                          quint16 birthYear, quint16 portrait)
{
    QByteArray record(EditData::recordSize, '\0');
    record.replace(EditData::familyName, familyBig5.size(), familyBig5);
    record.replace(EditData::givenName, givenBig5.size(), givenBig5);
    EditData::writeU16(record, EditData::birthYear, birthYear);
    EditData::writeU16(record, EditData::portrait, portrait);
    return record;
}

QByteArray patternedRecord(const QString &family, const QString &given, int sex, quint16 born,
                           quint16 face, quint16 father)
{
    using namespace EditData;
    QByteArray record(recordSize, '\0');
    for (int i = 0; i < recordSize; ++i)
        record[i] = char(1 + i % 251);
    record.replace(familyName, big5(family).size() + 1, big5(family) + '\0');
    record.replace(givenName, big5(given).size() + 1, big5(given) + '\0');
    record.replace(styleName, 4, QByteArray(4, '\0'));
    writeU8(record, gender, quint8(sex));
    writeU16(record, birthYear, born);
    writeU16(record, portrait, face);
    writeU16(record, fatherId, father);
    writeU16(record, fatherId2, father);
    return record;
}

QList<QByteArray> recordsOf(const QByteArray &image)
{
    return EditData::splitRecords(image);
}

void putRecord(QByteArray &image, int slot, const QByteArray &record)
{
    image.replace(EditData::recordAreaOffset + slot * EditData::recordSize, record.size(), record);
}

QList<QByteArray> sheetOfficers()
{
    using namespace EditData;
    QList<QByteArray> records = splitRecords(QByteArray());
    records[0] = patternedRecord("劉", "弘", 0, 140, 1130, noFather);
    records[1] = patternedRecord("劉", "備", 0, 161, 1132, 700);
    records[2] = patternedRecord("劉", "禪", 0, 207, 500, 701);
    records[3] = patternedRecord("孫", "尚香", 1, 170, 1180, noFather);
    records[4] = patternedRecord("關", "雲長", 0, 160, 1131, noFather);
    records[5] = patternedRecord("=1", "a,\"b\"\r\nc", 2, 0, 0, 710);
    records[5].replace(styleName, 3, QByteArray("-x\0", 3));
    return records;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void copyBundledPools(const QString &dir)
{
    const QString source = QString::fromLocal8Bit(qgetenv("OFFICER_DATA_DIR"));
    for (const char *name : {"familyName.dat", "boyName.dat", "girlName.dat"}) {
        const QString file = QString::fromLatin1(name);
        QFile::remove(dir + QLatin1Char('/') + file);
        QVERIFY2(QFile::copy(source + QLatin1Char('/') + file, dir + QLatin1Char('/') + file),
                 qPrintable(file));
    }
}
