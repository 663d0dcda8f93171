#include "officertable.h"

#include "editdata.h"
#include "officerdetails.h"

#include <QCoreApplication>

#include <functional>

namespace EditData {

namespace {

constexpr const char *headerTexts[] = {
        QT_TRANSLATE_NOOP("OfficerTable", "編號"),   QT_TRANSLATE_NOOP("OfficerTable", "姓名"),
        QT_TRANSLATE_NOOP("OfficerTable", "性別"),   QT_TRANSLATE_NOOP("OfficerTable", "生年"),
        QT_TRANSLATE_NOOP("OfficerTable", "頭像"),   QT_TRANSLATE_NOOP("OfficerTable", "能力一"),
        QT_TRANSLATE_NOOP("OfficerTable", "能力二"), QT_TRANSLATE_NOOP("OfficerTable", "能力三"),
        QT_TRANSLATE_NOOP("OfficerTable", "能力四"), QT_TRANSLATE_NOOP("OfficerTable", "能力合計"),
        QT_TRANSLATE_NOOP("OfficerTable", "兵科一"), QT_TRANSLATE_NOOP("OfficerTable", "兵科二"),
        QT_TRANSLATE_NOOP("OfficerTable", "兵科三"), QT_TRANSLATE_NOOP("OfficerTable", "特技合計"),
        QT_TRANSLATE_NOOP("OfficerTable", "個性"),   QT_TRANSLATE_NOOP("OfficerTable", "父親"),
        QT_TRANSLATE_NOOP("OfficerTable", "姓"),     QT_TRANSLATE_NOOP("OfficerTable", "名"),
        QT_TRANSLATE_NOOP("OfficerTable", "字"),
};

int sum(const QVector<int> &values)
{
    int total = 0;
    for (int value : values)
        total += value;
    return total;
}

// A formula in a spreadsheet begins with one of these; an apostrophe in
// front makes the field plain text.
bool looksLikeFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    switch (text.at(0).unicode()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

QString csvField(const QVariant &value)
{
    if (value.userType() == QMetaType::Int)
        return QString::number(value.toInt());
    QString text = value.toString();
    // A text that begins with the apostrophe a reader would take off gets
    // one more, so that it reads back as it was.
    const bool apostropheTakenOff =
            text.size() > 1 && text.at(0) == QLatin1Char('\'')
            && (looksLikeFormula(text.mid(1, 1)) || text.at(1) == QLatin1Char('\''));
    if (looksLikeFormula(text) || apostropheTakenOff)
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1Char('"'), QLatin1String("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

void appendLine(QString &csv, const QVariantList &fields)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            csv += QLatin1Char(',');
        csv += csvField(fields.at(i));
    }
    csv += QLatin1String("\r\n");
}

} // namespace

namespace {

QStringList header(const std::function<QString(const char *)> &text)
{
    QStringList header;
    for (const char *source : headerTexts)
        header.append(text(source));
    for (const char *group : {QT_TRANSLATE_NOOP("OfficerTable", "特技一%1"),
                              QT_TRANSLATE_NOOP("OfficerTable", "特技二%1")}) {
        for (int level = 1; level <= 10; ++level)
            header.append(text(group).arg(level));
    }
    Q_ASSERT(header.size() == TableColumn::Count);
    return header;
}

} // namespace

QStringList officerTableHeader()
{
    return header(
            [](const char *source) { return QCoreApplication::translate("OfficerTable", source); });
}

QStringList officerTableSourceHeader()
{
    return header([](const char *source) { return QString::fromUtf8(source); });
}

QVariantList officerTableRow(const QList<QByteArray> &records, int slot, QTextCodec *codec)
{
    const OfficerDetails details = officerDetails(records, slot, codec);
    QVariantList row = {details.id, details.title, details.sex, details.birthYear,
                        details.portrait};
    for (int ability : details.abilities)
        row.append(ability);
    row.append(sum(details.abilities));
    for (int aptitude : details.aptitudes)
        row.append(aptitude);
    row.append(sum(details.skillsA) + sum(details.skillsB));
    row.append(details.characterCode);
    row.append(details.father);
    row += QVariantList{details.familyName, details.givenName, details.styleName};
    for (int skill : details.skillsA + details.skillsB)
        row.append(skill);
    return row;
}

QList<QVariantList> officerTableRows(const QList<QByteArray> &records, QTextCodec *codec)
{
    QList<QVariantList> rows;
    for (int slot : occupiedSlots(records))
        rows.append(officerTableRow(records, slot, codec));
    return rows;
}

QByteArray officerTableCsv(const QList<QVariantList> &rows)
{
    QString csv;
    QVariantList header;
    for (const QString &text : officerTableHeader())
        header.append(text);
    appendLine(csv, header);
    for (const QVariantList &row : rows)
        appendLine(csv, row);
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace EditData
