// Officers pasted (貼上武將) from a text with an officer code, from the
// program's own clipboard type, and from a code made of any zlib stream.
// Valid officers are pasted into a file, and copied from there again, they
// read back the same.

#include "editdata.h"
#include "fuzzing.h"
#include "importofficers.h"
#include "officercode.h"

#include <QMimeData>
#include <QTextCodec>

using namespace EditData;
using Fuzzing::check;

namespace {

// How the rest of an input is taken, by its first byte.
enum Mode : char { Text, Clipboard, Stream, ModeCount };

constexpr auto base64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

} // namespace

QList<QByteArray> fuzzSeeds()
{
    const QList<QByteArray> sample = Fuzzing::sampleRecords();
    QTextCodec *big5 = QTextCodec::codecForName("Big5");
    const QByteArray bytes = officerBytes(sample, {0, 1, 3});
    QList<QByteArray> seeds{
            char(Text) + officerText(sample, {1, 2}, big5).toUtf8(),
            char(Text) + ("看我的武將：\r\n" + officerText(sample, {5}, big5, "\r\n")).toUtf8(),
            char(Text) + QByteArray("OFFICERS1:SGVsbG8gd29ybGQ"),
            char(Clipboard) + bytes,
            char(Clipboard) + officerBytes(sample, {7}),
            char(Stream) + qCompress(bytes).mid(4),
            char(Stream) + qCompress(QByteArray(maxOfficerBytes + 1, '\0')).mid(4),
    };
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, int(size - 1));
    CopiedOfficers officers;
    switch (data[0] % ModeCount) {
    case Text:
        officers = officersFromText(QString::fromUtf8(rest));
        break;
    case Clipboard: {
        QMimeData mime;
        mime.setData(QLatin1String(officersMimeType), rest);
        officers = officersFromMimeData(&mime);
        break;
    }
    default:
        officers = officersFromText(QLatin1String(codePrefix)
                                    + QString::fromLatin1(rest.toBase64(base64Url)));
        break;
    }
    check(officers.status != CopiedOfficers::Valid
                  || (!officers.ids.isEmpty() && officers.ids.size() == officers.records.size()),
          "valid officers come with their records");

    QList<QByteArray> records = Fuzzing::sampleRecords();
    PortraitPool male, female, allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    markUsedPortraits(records, male, female);
    const QList<QByteArray> before = records;
    const std::optional<QVector<int>> pasted = pasteOfficers(records, male, female, officers);
    if (!pasted || pasted->isEmpty()) {
        check(records == before, "officers not pasted change nothing");
        return 0;
    }
    check(officers.status == CopiedOfficers::Valid && pasted->size() == officers.ids.size(),
          "each valid officer is pasted");
    for (const int slot : *pasted)
        check(isEmptySlot(before.at(slot)) && !isEmptySlot(records.at(slot)),
              "officers are pasted into empty slots");
    const CopiedOfficers again = officersFromBytes(officerBytes(records, *pasted));
    check(again.status == CopiedOfficers::Valid && again.records.size() == pasted->size(),
          "pasted officers can be copied again");
    return 0;
}
