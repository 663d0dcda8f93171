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

QList<QByteArray> recordsOf(const QByteArray &image)
{
    return EditData::splitRecords(image);
}

void putRecord(QByteArray &image, int slot, const QByteArray &record)
{
    image.replace(EditData::recordAreaOffset + slot * EditData::recordSize, record.size(), record);
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
