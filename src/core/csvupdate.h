#ifndef CSVUPDATE_H
#define CSVUPDATE_H

#include "officerdetails.h"
#include "typedname.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class QTextCodec;

// Bringing back the officer table from a CSV file that a spreadsheet
// changed: what each cell would change, what is wrong with the file, and
// writing the changes as the officer editor writes them.
namespace EditData {

// One cell of the file that changes an officer's field.
struct CsvChange
{
    int slot = 0;
    QString officer; // the name as the list shows it before the update
    QString column; // the column's header text
    QString oldValue; // the values as the table shows them
    QString newValue;
};

// One officer's fields before and after the update.
struct CsvOfficerEdit
{
    int slot = 0;
    OfficerDetails shown;
    OfficerDetails edited;
};

// The most errors a plan lists; the others are only counted.
constexpr int maxListedCsvErrors = 1000;

struct CsvUpdatePlan
{
    // The file's first line names no 編號 column; nothing else is read.
    bool missingIdColumn = false;
    // Every changed cell, in file order.
    QVector<CsvChange> changes;
    // "第<line>行「<column>」：<reason>", in file order, the first
    // maxListedCsvErrors of them; a quote left open in a column the file
    // does not read is "第<line>行：<reason>". With any error, nothing may be
    // written.
    QStringList errors;
    // How many errors there are beyond those listed.
    int unlistedErrors = 0;
    // The changed officers, in file order.
    QVector<CsvOfficerEdit> edits;
    // A computed column (姓名, 能力合計, 特技合計) holds another value than
    // the officer's: the player may have meant to change it, which the
    // update cannot do (see computedColumnsNote). Changes nothing else.
    bool computedColumnsDiffer = false;
};

// What the CSV file would change in the records. The first line names the
// columns by the table's header texts, in any order, in the language of the
// interface or in traditional Chinese; other columns and the computed ones
// (姓名, 能力合計, 特技合計) are not read, only compared (see
// computedColumnsDiffer). Each row names an officer by 編號, 700 to 849.
// An empty cell changes nothing, nor does one equal to the field's value:
// numbers compare as numbers, the father by his leading ID or "無" (or
// noFatherText()), names by their text. Any other cell must be a value the
// officer editor would write, the father judged with the fathers of the
// earlier rows already set; 性別 cannot change. An apostrophe that the export
// put before a formula-like text (or an apostrophe) is dropped first. The names are encoded with
// codec. When codec cannot write a row's names, they are taken as typed in
// simplified Chinese: the names the row changes are converted with
// toTraditional as the officer editor converts them (Names::editedNameToWrite)
// and, when that makes them writable, judged and listed as converted; without
// toTraditional, names are judged as they stand.
// A number outside its field's range is refused with the range. A quote
// that the file never closed is an error of the row it is in. The work
// grows with the file's size, never faster.
CsvUpdatePlan planCsvUpdate(const QList<QByteArray> &records, const QByteArray &csv,
                            QTextCodec *codec,
                            const Names::ToTraditional &toTraditional = Names::ToTraditional());

// The plan's errors as they are shown: those listed, then
// "……還有<N>個錯誤。" when there are more.
QStringList csvErrorLines(const CsvUpdatePlan &plan);

// What the player is told when the computed columns differ from the
// officers: they are not read, and where names are changed instead.
QString computedColumnsNote();

struct CsvUpdateResult
{
    // The slots whose bytes changed, in the plan's order.
    QVector<int> changedSlots;
    // Some officer's portrait changed, so the portrait pools are out of date.
    bool portraitChanged = false;
};

// Writes a plan made from these very records, as the officer editor writes
// each officer: only the changed fields, a name as its bytes, one zero and
// zeros to the end of the old text, the father into both father fields. A
// plan with an error, or refused, writes nothing.
CsvUpdateResult applyCsvUpdate(QList<QByteArray> &records, const CsvUpdatePlan &plan,
                               QTextCodec *codec);

} // namespace EditData

#endif // CSVUPDATE_H
