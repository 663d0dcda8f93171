#include "csvupdate.h"

#include "big5.h"
#include "csvreader.h"
#include "editdata.h"
#include "familytree.h"
#include "officeredit.h"
#include "officertable.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace EditData {

namespace {

// Why a cell cannot be written; the reasons are in faultTexts, in this
// order.
enum class Fault {
    None,
    NoOfficer,
    RepeatedId,
    NotInteger,
    OutOfRange, // the text names the field's range: see faultText
    Unencodable,
    TooLong,
    NoPortrait,
    NotFather,
    SexFixed,
    IdOutOfRange,
    OpenQuote,
};

constexpr const char *faultTexts[] = {
        QT_TRANSLATE_NOOP("CsvUpdate", "沒有這個編號的武將"),
        QT_TRANSLATE_NOOP("CsvUpdate", "編號重複"),
        QT_TRANSLATE_NOOP("CsvUpdate", "不是整數"),
        QT_TRANSLATE_NOOP("CsvUpdate", "超出範圍（0–%1）"),
        QT_TRANSLATE_NOOP("CsvUpdate", "姓名含有Big5無法表示的字"),
        QT_TRANSLATE_NOOP("CsvUpdate", "姓名過長"),
        QT_TRANSLATE_NOOP("CsvUpdate", "沒有這個頭像"),
        QT_TRANSLATE_NOOP("CsvUpdate", "不能設為父親"),
        QT_TRANSLATE_NOOP("CsvUpdate", "性別不能修改"),
        QT_TRANSLATE_NOOP("CsvUpdate", "編號必須在%1至%2之間"),
        QT_TRANSLATE_NOOP("CsvUpdate", "引號沒有結束"),
};
static_assert(std::size(faultTexts) == int(Fault::OpenQuote), "a reason for every fault");

// The reason of a fault; for OutOfRange, with the field's largest value.
QString faultText(Fault fault, int max = 0)
{
    Q_ASSERT(fault != Fault::None);
    const QString text = QCoreApplication::translate("CsvUpdate", faultTexts[int(fault) - 1]);
    if (fault == Fault::OutOfRange)
        return text.arg(max);
    if (fault == Fault::IdOutOfRange)
        return text.arg(officerIdBase).arg(officerIdBase + recordCount - 1);
    return text;
}

// The value of a cell without the apostrophe that the export puts before
// a text a spreadsheet would take for a formula, or before a text that
// begins with such an apostrophe itself.
QString cellValue(const QStringList &fields, int field)
{
    const QString text = fields.value(field);
    if (text.size() > 1 && text.at(0) == QLatin1Char('\'')
        && QStringLiteral("=+-@\t\r'").contains(text.at(1)))
        return text.mid(1);
    return text;
}

// The whole number written in text, spaces around it allowed. OutOfRange
// for a number too large for any field.
Fault parseNumber(const QString &text, qint64 *value)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    const QString number = text.trimmed();
    if (!wholeNumber.match(number).hasMatch())
        return Fault::NotInteger;
    bool ok = false;
    *value = number.toLongLong(&ok);
    return ok ? Fault::None : Fault::OutOfRange;
}

struct NameColumn
{
    QString OfficerDetails::*text;
    int maxBytes;
};

NameColumn nameColumn(int column)
{
    switch (column) {
    case TableColumn::FamilyName:
        return {&OfficerDetails::familyName, familyNameMaxBytes};
    case TableColumn::GivenName:
        return {&OfficerDetails::givenName, givenNameMaxBytes};
    case TableColumn::StyleName:
        return {&OfficerDetails::styleName, styleNameMaxBytes};
    default:
        return {nullptr, 0};
    }
}

// A numeric field of details, and the largest value the editor gives it.
struct NumberField
{
    int *value;
    int max;
};

NumberField numberField(OfficerDetails &details, int column)
{
    using namespace TableColumn;
    if (column == BirthYear)
        return {&details.birthYear, maxBirthYear};
    if (column == Portrait)
        return {&details.portrait, 0xFFFF};
    if (column == Character)
        return {&details.characterCode, maxCharacterCode};
    if (column >= Ability1 && column < AbilitySum)
        return {&details.abilities[column - Ability1], maxAbility};
    if (column >= Aptitude1 && column < SkillSum)
        return {&details.aptitudes[column - Aptitude1], maxAptitude};
    if (column >= SkillA1 && column < SkillB1)
        return {&details.skillsA[column - SkillA1], maxSkillLevel};
    if (column >= SkillB1 && column < Count)
        return {&details.skillsB[column - SkillB1], maxSkillLevel};
    return {nullptr, 0};
}

// The judgement of one cell: a fault, or whether it changes its field and
// the values before and after as the table shows them.
struct Verdict
{
    Fault fault = Fault::None;
    int max = 0; // the field's largest value, for OutOfRange
    bool changed = false;
    QString oldValue;
    QString newValue;
};

Verdict changeTo(const QString &oldValue, const QString &newValue)
{
    return {Fault::None, 0, true, oldValue, newValue};
}

Verdict refused(Fault fault, int max = 0)
{
    Verdict verdict;
    verdict.fault = fault;
    verdict.max = max;
    return verdict;
}

// Reads one officer's row of the file against the records, setting every
// change into the officer's edited details; a new father is set into the
// working records as well, so that later rows are judged with it.
class RowReader
{
public:
    RowReader(const QList<QByteArray> &records, QList<QByteArray> &working, int slot,
              QTextCodec *codec)
        : m_records(records)
        , m_working(working)
        , m_slot(slot)
        , m_codec(codec)
        , m_shown(officerDetails(records, slot, codec))
        , m_edited(m_shown)
    { }

    const OfficerDetails &shown() const { return m_shown; }
    const OfficerDetails &edited() const { return m_edited; }

    Verdict judge(int column, const QString &text)
    {
        // An empty cell changes nothing; a name may be a space, a number
        // may not.
        const NameColumn field = nameColumn(column);
        if (field.text)
            return text.isEmpty() ? Verdict() : name(field, text);
        if (text.trimmed().isEmpty())
            return {};
        if (column == TableColumn::Sex)
            return sex(text);
        if (column == TableColumn::Father)
            return father(text.trimmed());
        return number(column, text);
    }

private:
    Verdict name(const NameColumn &field, const QString &text)
    {
        QString &current = m_edited.*field.text;
        if (text == current)
            return {};
        QByteArray bytes;
        // A zero byte would end the name early.
        if (text.contains(QChar(0)) || !Names::encodeName(text, m_codec, &bytes))
            return refused(Fault::Unencodable);
        if (bytes.size() > field.maxBytes)
            return refused(Fault::TooLong);
        const Verdict verdict = changeTo(current, text);
        current = text;
        return verdict;
    }

    Verdict sex(const QString &text) const
    {
        qint64 number = 0;
        if (text.trimmed() == m_shown.sex
            || (parseNumber(text, &number) == Fault::None && number == m_shown.gender))
            return {};
        return refused(Fault::SexFixed);
    }

    Verdict father(const QString &text)
    {
        // "無" (or its translation), or an ID with whatever follows it.
        int digits = 0;
        while (digits < text.size() && digits < 6 && text.at(digits) >= QLatin1Char('0')
               && text.at(digits) <= QLatin1Char('9'))
            ++digits;
        const bool none = text == QStringLiteral("無") || text == noFatherText();
        if (!none && digits == 0)
            return refused(Fault::NotFather);
        const int id = none ? noFather : text.leftRef(digits).toInt();
        if (id == m_edited.fatherId)
            return {};
        const int fatherSlot = id - officerIdBase;
        if (id != noFather && !Family::fatherChoices(m_working, m_slot).contains(fatherSlot))
            return refused(Fault::NotFather);

        const QString fatherText =
                id == noFather ? noFatherText()
                               : officerIdAndName(m_working.at(fatherSlot), fatherSlot, m_codec);
        const Verdict verdict = changeTo(m_edited.father, fatherText);
        m_edited.fatherId = quint16(id);
        m_edited.father = fatherText;
        writeU16(m_working[m_slot], fatherId, quint16(id));
        writeU16(m_working[m_slot], fatherId2, quint16(id));
        return verdict;
    }

    Verdict number(int column, const QString &text)
    {
        const NumberField field = numberField(m_edited, column);
        Q_ASSERT(field.value);
        qint64 value = 0;
        const Fault fault = parseNumber(text, &value);
        if (fault == Fault::NotInteger)
            return refused(fault);
        if (fault == Fault::None && value == *field.value)
            return {};
        if (fault != Fault::None || value < 0 || value > field.max)
            return refused(Fault::OutOfRange, field.max);
        if (column == TableColumn::Portrait) {
            const QVector<PortraitChoice> choices =
                    portraitChoices(m_records, m_slot, m_shown.gender);
            if (std::none_of(choices.cbegin(), choices.cend(),
                             [value](const PortraitChoice &c) { return c.number == value; }))
                return refused(Fault::NoPortrait);
        }
        const Verdict verdict = changeTo(QString::number(*field.value), QString::number(value));
        *field.value = int(value);
        return verdict;
    }

    const QList<QByteArray> &m_records;
    QList<QByteArray> &m_working;
    const int m_slot;
    QTextCodec *const m_codec;
    const OfficerDetails m_shown;
    OfficerDetails m_edited;
};

// The slot of the officer the 編號 cell names, or the fault.
Fault officerSlot(const QList<QByteArray> &records, const QString &text, int *slot)
{
    if (text.trimmed().isEmpty())
        return Fault::NoOfficer;
    qint64 id = 0;
    const Fault fault = parseNumber(text, &id);
    if (fault == Fault::NotInteger)
        return Fault::NotInteger;
    const qint64 index = id - officerIdBase;
    if (fault != Fault::None || index < 0 || index >= recordCount)
        return Fault::IdOutOfRange;
    if (index >= records.size() || isEmptySlot(records.at(int(index))))
        return Fault::NoOfficer;
    *slot = int(index);
    return Fault::None;
}

// Whether a computed cell (姓名, 能力合計, 特技合計) holds another value than
// the table shows for the officer: the name as text, a sum as a number. An
// empty cell holds none.
bool computedCellDiffers(int column, const QString &text, const QVariantList &row)
{
    if (column == TableColumn::Name)
        return !text.isEmpty() && text != row.value(column).toString();
    if (text.trimmed().isEmpty())
        return false;
    qint64 value = 0;
    return parseNumber(text, &value) != Fault::None || value != row.value(column).toInt();
}

// Puts the names to write into the name cells of a row (one cell per table
// column), for names typed in simplified Chinese that Big5 cannot write as
// typed. An empty cell, or one equal to the officer's name, leaves that name
// as it is.
void convertTypedNames(QStringList &cells, const OfficerDetails &shown, QTextCodec *codec,
                       const Names::ToTraditional &toTraditional)
{
    const Names::PersonName before = {shown.familyName, shown.givenName, shown.styleName};
    Names::PersonName typed = before;
    QString Names::PersonName::*const fields[] = {&Names::PersonName::familyName,
                                                  &Names::PersonName::givenName,
                                                  &Names::PersonName::styleName};
    const int nameColumns[] = {TableColumn::FamilyName, TableColumn::GivenName,
                               TableColumn::StyleName};
    for (int i = 0; i < 3; ++i) {
        if (!cells.at(nameColumns[i]).isEmpty())
            typed.*fields[i] = cells.at(nameColumns[i]);
    }
    const Names::NameToWrite written =
            Names::editedNameToWrite(before, typed, codec, toTraditional);
    if (!written.writable || !written.converted)
        return;
    for (int i = 0; i < 3; ++i) {
        if (!cells.at(nameColumns[i]).isEmpty())
            cells[nameColumns[i]] = written.name.*fields[i];
    }
}

// The columns of a CSV file, found by the texts of its first line.
struct CsvColumns
{
    // The field of each table column, or -1 when the file lacks it; a column
    // named twice is read from its first field.
    QVector<int> fieldOf = QVector<int>(TableColumn::Count, -1);
    // The columns that are read, but 編號, in the order of their fields.
    QVector<int> read;
    // The computed columns the file holds, in the order of their fields.
    QVector<int> computed;
};

CsvColumns csvColumns(const QStringList &names)
{
    // A file exported while the interface was in traditional Chinese keeps
    // its use when the interface is in simplified Chinese.
    QHash<QString, int> known;
    const QStringList sourceHeader = officerTableSourceHeader();
    for (int column = 0; column < sourceHeader.size(); ++column)
        known.insert(sourceHeader.at(column), column);
    const QStringList header = officerTableHeader();
    for (int column = 0; column < header.size(); ++column)
        known.insert(header.at(column), column);

    CsvColumns columns;
    for (int field = 0; field < names.size(); ++field) {
        const int column = known.value(names.at(field).trimmed(), -1);
        if (column < 0 || columns.fieldOf.at(column) >= 0)
            continue;
        columns.fieldOf[column] = field;
        if (column == TableColumn::Name || column == TableColumn::AbilitySum
            || column == TableColumn::SkillSum)
            columns.computed.append(column);
        else if (column != TableColumn::Id)
            columns.read.append(column);
    }
    return columns;
}

} // namespace

CsvUpdatePlan planCsvUpdate(const QList<QByteArray> &records, const QByteArray &csv,
                            QTextCodec *codec, const Names::ToTraditional &toTraditional)
{
    CsvUpdatePlan plan;
    const QVector<CsvRow> rows = readCsv(csv);
    const QStringList header = officerTableHeader();
    const CsvColumns columns = csvColumns(rows.value(0).fields);
    const int idField = columns.fieldOf.at(TableColumn::Id);
    if (idField < 0) {
        plan.missingIdColumn = true;
        return plan;
    }

    // Only so many errors are listed, however many the file holds.
    auto report = [&](const CsvRow &row, int column, const QString &reason) {
        if (plan.errors.size() == maxListedCsvErrors) {
            ++plan.unlistedErrors;
        } else if (column < 0) {
            plan.errors.append(QCoreApplication::translate("CsvUpdate", "第%1行：%2")
                                       .arg(QString::number(row.line), reason));
        } else {
            plan.errors.append(QCoreApplication::translate("CsvUpdate", "第%1行「%2」：%3")
                                       .arg(QString::number(row.line), header.at(column), reason));
        }
    };
    // A quote left open took in the rest of the file, in the column of its
    // field.
    auto reportOpenQuote = [&](const CsvRow &row) {
        if (row.openQuote)
            report(row, columns.fieldOf.indexOf(row.fields.size() - 1),
                   faultText(Fault::OpenQuote));
    };
    reportOpenQuote(rows.at(0));

    QList<QByteArray> working = records;
    QSet<int> named;
    for (int r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows.at(r);
        reportOpenQuote(row);
        if (std::all_of(row.fields.cbegin(), row.fields.cend(),
                        [](const QString &field) { return field.isEmpty(); }))
            continue;

        int slot = -1;
        Fault fault = officerSlot(records, cellValue(row.fields, idField), &slot);
        if (fault == Fault::None && named.contains(slot))
            fault = Fault::RepeatedId;
        if (fault != Fault::None) {
            report(row, TableColumn::Id, faultText(fault));
            continue;
        }
        named.insert(slot);

        if (!plan.computedColumnsDiffer && !columns.computed.isEmpty()) {
            const QVariantList shownRow = officerTableRow(records, slot, codec);
            for (const int column : columns.computed)
                plan.computedColumnsDiffer |= computedCellDiffers(
                        column, cellValue(row.fields, columns.fieldOf.at(column)), shownRow);
        }

        RowReader reader(records, working, slot, codec);
        QStringList cells;
        cells.reserve(TableColumn::Count);
        for (int column = 0; column < TableColumn::Count; ++column)
            cells.append(cellValue(row.fields, columns.fieldOf.at(column)));
        if (toTraditional)
            convertTypedNames(cells, reader.shown(), codec, toTraditional);
        bool changed = false;
        for (const int column : columns.read) {
            const Verdict verdict = reader.judge(column, cells.at(column));
            if (verdict.fault != Fault::None)
                report(row, column, faultText(verdict.fault, verdict.max));
            if (!verdict.changed)
                continue;
            changed = true;
            plan.changes.append({slot, reader.shown().title, header.at(column), verdict.oldValue,
                                 verdict.newValue});
        }
        if (changed)
            plan.edits.append({slot, reader.shown(), reader.edited()});
    }
    return plan;
}

QStringList csvErrorLines(const CsvUpdatePlan &plan)
{
    QStringList lines = plan.errors;
    if (plan.unlistedErrors > 0)
        lines.append(QCoreApplication::translate("CsvUpdate", "……還有%1個錯誤。")
                             .arg(plan.unlistedErrors));
    return lines;
}

QString computedColumnsNote()
{
    return QCoreApplication::translate("CsvUpdate", "「姓名」「能力合計」「特技合計」欄不會被讀取；"
                                                    "要修改姓名，請修改「姓」「名」「字」欄。");
}

CsvUpdateResult applyCsvUpdate(QList<QByteArray> &records, const CsvUpdatePlan &plan,
                               QTextCodec *codec)
{
    if (plan.missingIdColumn || !plan.errors.isEmpty())
        return {};
    CsvUpdateResult result;
    QList<QByteArray> updated = records;
    for (const CsvOfficerEdit &edit : plan.edits) {
        if (edit.slot < 0 || edit.slot >= updated.size())
            return {};
        QByteArray &record = updated[edit.slot];
        const QByteArray before = record;
        if (applyOfficerEdit(record, edit.shown, edit.edited, codec) != EditRefusal::None)
            return {};
        if (record != before) {
            result.changedSlots.append(edit.slot);
            result.portraitChanged |= edit.edited.portrait != edit.shown.portrait;
        }
    }
    records = updated;
    return result;
}

} // namespace EditData
