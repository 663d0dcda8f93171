#ifndef CSVREADER_H
#define CSVREADER_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Reading a CSV file that a spreadsheet wrote.
namespace EditData {

struct CsvRow
{
    int line = 0; // the physical line the row starts on, the first being 1
    QStringList fields;
    // The last field opened a quote that the file never closed: it runs to
    // the end of the text. Only the last row can have one.
    bool openQuote = false;
};

// The text of a CSV file: UTF-8 when the bytes are valid UTF-8 (a leading
// byte order mark skipped), otherwise Big5, as a spreadsheet saves it on a
// Traditional Chinese Windows.
QString decodeCsv(const QByteArray &bytes);

// The rows of a CSV text. Fields are separated by tabs when the first line
// holds a tab and no comma, otherwise by commas. A field that starts with a
// double quote runs to the next lone double quote and may hold separators,
// doubled quotes (one quote each) and line breaks; one never closed runs to
// the end of the text (openQuote). Lines end with CR LF or LF; a line with
// nothing on it is no row.
QVector<CsvRow> parseCsv(const QString &text);

// The rows of a CSV file: decodeCsv, then parseCsv.
QVector<CsvRow> readCsv(const QByteArray &bytes);

} // namespace EditData

#endif // CSVREADER_H
