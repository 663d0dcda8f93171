#ifndef OFFICERCODE_H
#define OFFICERCODE_H

#include "editdata.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

class QMimeData;
class QTextCodec;

// Officers copied out of one data file to be pasted into another: as the
// program's own clipboard bytes, and as a text code that survives a forum
// post or a chat.
//
// The bytes: a 16-bit little-endian count, then per officer his 16-bit
// little-endian ID (officerIdBase + his slot) and his record, all its bytes.
// The code: codePrefix followed at once by those bytes as a zlib stream in
// URL-safe base64 without padding.
namespace EditData {

constexpr char officersMimeType[] = "application/x-officer-maker-officers";
constexpr char codePrefix[] = "OFFICERS1:";

// One copied officer takes his ID and his record.
constexpr int copiedOfficerSize = 2 + recordSize;
constexpr int maxOfficerBytes = 2 + recordCount * copiedOfficerSize;

// The officers of the chosen slots, in slot order, as the bytes above.
// Slots that are empty, lie outside records or come twice are passed over;
// with no officer left the bytes are empty.
QByteArray officerBytes(const QList<QByteArray> &records, const QVector<int> &chosenSlots);

// codePrefix and the bytes, compressed and encoded. Meant for the bytes of
// officerBytes; it encodes any bytes it is given.
QString officerCode(const QByteArray &bytes);

// The line end of text on this system: CRLF on Windows, LF elsewhere.
QString nativeLineEnd();

// The plain text of the copied officers: a line "<ID> <name>" per officer,
// the name as the officer list shows it, then a line holding the code. Every
// line, the last too, ends in lineEnd. Empty when no chosen slot holds an
// officer.
QString officerText(const QList<QByteArray> &records, const QVector<int> &chosenSlots,
                    QTextCodec *codec, const QString &lineEnd = nativeLineEnd());

// Officers read back from the bytes or from a code.
struct CopiedOfficers
{
    enum Status {
        NoOfficers, // the text holds no code
        Damaged, // the bytes or the code are refused; no officer is kept
        Valid,
    };
    Status status = NoOfficers;
    // With Valid: at least one officer, each ID once and within
    // officerIdBase to officerIdBase + recordCount - 1, each record
    // occupied, in the order they came.
    QVector<quint16> ids;
    QList<QByteArray> records;
};

// The bytes of a bare zlib stream (as the code holds it), inflated no
// further than one byte past maxSize: nothing when the stream is damaged,
// cut short, or holds more than maxSize bytes, however much more. Data
// after the stream's end is ignored.
std::optional<QByteArray> inflateAtMost(const QByteArray &stream, int maxSize);

// Reads the program's own bytes: Valid or Damaged. They are damaged when
// they are not a count of at least one and as many whole officers, or when
// an officer is empty, has an ID outside the slots or shares his ID with
// another.
CopiedOfficers officersFromBytes(const QByteArray &bytes);

// Reads the first code anywhere in text. The code runs from just after
// codePrefix to the first character that is not URL-safe base64. NoOfficers
// when text holds no codePrefix; Damaged when the code is empty, longer than
// any code of whole officers can be, does not decode or decompress into at
// most maxOfficerBytes (see inflateAtMost), or its bytes are damaged as
// officersFromBytes judges them.
CopiedOfficers officersFromText(const QString &text);

// The chosen officers as the clipboard and a drag carry them: the bytes under
// officersMimeType and officerText as plain text. Null when no chosen slot
// holds an officer.
std::unique_ptr<QMimeData> officerMimeData(const QList<QByteArray> &records,
                                           const QVector<int> &chosenSlots, QTextCodec *codec);

// The officers that data carries: from the program's own bytes when it has
// them, otherwise from the first code in its text. NoOfficers without data.
CopiedOfficers officersFromMimeData(const QMimeData *data);

} // namespace EditData

#endif // OFFICERCODE_H
