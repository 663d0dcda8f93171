#include "fuzzing.h"

#include "editdata.h"
#include "records.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const QString folder = QString::fromLocal8Bit(qgetenv("OFFICER_FUZZ_SEEDS"));
    if (folder.isEmpty())
        return 0;
    QDir().mkpath(folder);
    for (const QByteArray &seed : fuzzSeeds()) {
        const QString name = QString::fromLatin1(
                QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex());
        Fuzzing::check(Fuzzing::writeFile(QDir(folder).filePath(name), seed), "writing a seed");
    }
    std::exit(0);
}

namespace Fuzzing {

void check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

QList<QByteArray> parts(const uint8_t *data, size_t size, int parts)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     int(qMin<size_t>(size, 1 << 30)));
    QList<QByteArray> pieces;
    int start = 0;
    while (pieces.size() < parts - 1) {
        const int end = input.indexOf(separator, start);
        if (end < 0)
            break;
        pieces.append(input.mid(start, end - start));
        start = end + 1;
    }
    pieces.append(input.mid(start));
    while (pieces.size() < parts)
        pieces.append(QByteArray());
    return pieces;
}

QByteArray joined(const QList<QByteArray> &pieces)
{
    QByteArray input;
    for (int i = 0; i < pieces.size(); ++i)
        input += (i > 0 ? QByteArray(1, separator) : QByteArray()) + pieces.at(i);
    return input;
}

QByteArray dataImage(const QByteArray &input)
{
    using namespace EditData;
    if (input.size() == fileSize)
        return input;
    QByteArray image(fileSize, '\0');
    for (int at = 0; at < input.size(); at += 1 + recordSize) {
        const int slot = quint8(input.at(at)) % recordCount;
        const QByteArray record = input.mid(at + 1, recordSize);
        image.replace(recordAreaOffset + slot * recordSize, record.size(), record);
    }
    return image;
}

QByteArray recordsInput(const QList<QPair<int, QByteArray>> &records)
{
    QByteArray input;
    for (const auto &[slot, record] : records)
        input += char(slot) + record.leftJustified(EditData::recordSize, '\0', true);
    return input;
}

QList<QByteArray> sampleRecords()
{
    QList<QByteArray> records = sheetOfficers();
    records[7] = occupiedRecord(big5("曹"), big5("操"), 150, 1130);
    return records;
}

QString emptyFolder()
{
    static QTemporaryDir dir;
    check(dir.isValid(), "a temporary folder");
    const QString path = dir.filePath(QStringLiteral("input"));
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace Fuzzing
