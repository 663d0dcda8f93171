#ifndef OFFICERTABLE_H
#define OFFICERTABLE_H

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariant>

class QTextCodec;

// The officers of a file as a table of values, one row per occupied slot,
// and that table as a CSV file for spreadsheets.
namespace EditData {

// The column of the officer's name, the one the table window filters on.
constexpr int officerTableNameColumn = 1;

// The table's columns, in their order. The names and the twenty skill
// levels come last; from FamilyName on, a column starts hidden.
namespace TableColumn {
enum : int {
    Id,
    Name,
    Sex,
    BirthYear,
    Portrait,
    Ability1,
    AbilitySum = Ability1 + 4,
    Aptitude1,
    SkillSum = Aptitude1 + 3,
    Character,
    Father,
    FamilyName,
    GivenName,
    StyleName,
    SkillA1,
    SkillB1 = SkillA1 + 10,
    Count = SkillB1 + 10,
    FirstHidden = FamilyName,
};
} // namespace TableColumn

// The header texts of the table's columns, in their order, in the language
// of the interface.
QStringList officerTableHeader();
// The same as the program's source writes them, in traditional Chinese.
QStringList officerTableSourceHeader();

// The values of the officer in slot, one per column: numbers as int,
// texts as QString. The name is the list's row text; the father as his ID and
// family and given names; then the family, given and style names and the
// skill levels one by one.
QVariantList officerTableRow(const QList<QByteArray> &records, int slot, QTextCodec *codec);

// The rows of every occupied slot, in slot order.
QList<QVariantList> officerTableRows(const QList<QByteArray> &records, QTextCodec *codec);

// The CSV file of the given rows under a header row: UTF-8 with a
// byte-order mark, comma-separated, every line ended by CR LF. A field is
// quoted when it holds a comma, a double quote, CR or LF; a text that a
// spreadsheet would take for a formula gets an apostrophe in front, and so
// does a text that begins with an apostrophe and then such a character or
// another apostrophe, so that reading it back (planCsvUpdate) takes off the
// added one only.
QByteArray officerTableCsv(const QList<QVariantList> &rows);

} // namespace EditData

#endif // OFFICERTABLE_H
