#include "csvreader.h"

#include <QTextCodec>

namespace EditData {

QString decodeCsv(const QByteArray &bytes)
{
    const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
    const QByteArray body = bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString text =
            QTextCodec::codecForName("UTF-8")->toUnicode(body.constData(), body.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return text;
    if (QTextCodec *big5 = QTextCodec::codecForName("Big5"))
        return big5->toUnicode(bytes);
    return QString::fromLatin1(bytes);
}

QVector<CsvRow> parseCsv(const QString &text)
{
    const int size = text.size();
    const QStringRef firstLine = text.leftRef(text.indexOf(QLatin1Char('\n')));
    const QChar separator =
            firstLine.contains(QLatin1Char('\t')) && !firstLine.contains(QLatin1Char(','))
                    ? QLatin1Char('\t')
                    : QLatin1Char(',');
    auto lineEndAt = [&text, size](int i) {
        return text.at(i) == QLatin1Char('\n')
               || (text.at(i) == QLatin1Char('\r') && i + 1 < size
                   && text.at(i + 1) == QLatin1Char('\n'));
    };

    QVector<CsvRow> rows;
    int line = 1;
    int i = 0;
    while (i < size) {
        CsvRow row;
        row.line = line;
        if (!lineEndAt(i)) {
            for (;;) {
                QString field;
                if (text.at(i) == QLatin1Char('"')) {
                    row.openQuote = true;
                    for (++i; i < size; ++i) {
                        if (text.at(i) == QLatin1Char('"')) {
                            if (i + 1 >= size || text.at(i + 1) != QLatin1Char('"')) {
                                ++i;
                                row.openQuote = false;
                                break;
                            }
                            ++i;
                        } else if (text.at(i) == QLatin1Char('\n')) {
                            ++line;
                        }
                        field += text.at(i);
                    }
                }
                // An unquoted field, or whatever stray text follows a
                // closing quote, runs to the separator or the line's end.
                while (i < size && text.at(i) != separator && !lineEndAt(i))
                    field += text.at(i++);
                row.fields.append(field);
                if (i >= size || text.at(i) != separator)
                    break;
                if (++i >= size) {
                    row.fields.append(QString());
                    break;
                }
            }
            rows.append(row);
        }
        if (i < size) {
            i += text.at(i) == QLatin1Char('\r') ? 2 : 1;
            ++line;
        }
    }
    return rows;
}

QVector<CsvRow> readCsv(const QByteArray &bytes)
{
    return parseCsv(decodeCsv(bytes));
}

} // namespace EditData
