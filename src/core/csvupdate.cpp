#include "csvupdate.h"

#include "csvreader.h"
#include "editdata.h"
#include "familytree.h"
#include "names.h"
#include "officeredit.h"
#include "officertable.h"

#include <QCoreApplication>
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
    OutOfRange,
    Unencodable,
    TooLong,
    NoPortrait,
    NotFather,
    SexFixed,
};

constexpr const char *faultTexts[] = {
        QT_TRANSLATE_NOOP("CsvUpdate", "沒有這個編號的武將"),
        QT_TRANSLATE_NOOP("CsvUpdate", "編號重複"),
        QT_TRANSLATE_NOOP("CsvUpdate", "不是整數"),
        QT_TRANSLATE_NOOP("CsvUpdate", "超出範圍"),
        QT_TRANSLATE_NOOP("CsvUpdate", "姓名含有Big5無法表示的字"),
        QT_TRANSLATE_NOOP("CsvUpdate", "姓名過長"),
        QT_TRANSLATE_NOOP("CsvUpdate", "沒有這個頭像"),
        QT_TRANSLATE_NOOP("CsvUpdate", "不能設為父親"),
        QT_TRANSLATE_NOOP("CsvUpdate", "性別不能修改"),
};
static_assert(std::size(faultTexts) == int(Fault::SexFixed), "a reason for every fault");

QString faultText(Fault fault)
{
    Q_ASSERT(fault != Fault::None);
    return QCoreApplication::translate("CsvUpdate", faultTexts[int(fault) - 1]);
}

// The value of a cell without the apostrophe that the export puts before
// a text a spreadsheet would take for a formula.
QString cellValue(const QStringList &fields, int field)
{
    const QString text = fields.value(field);
    if (text.size() > 1 && text.at(0) == QLatin1Char('\'')
        && QStringLiteral("=+-@\t\r").contains(text.at(1)))
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
    bool changed = false;
    QString oldValue;
    QString newValue;
};

Verdict changeTo(const QString &oldValue, const QString &newValue)
{
    return {Fault::None, true, oldValue, newValue};
}

Verdict refused(Fault fault)
{
    Verdict verdict;
    verdict.fault = fault;
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
            return refused(Fault::OutOfRange);
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
    if (parseNumber(text, &id) == Fault::NotInteger)
        return Fault::NotInteger;
    const qint64 index = id - officerIdBase;
    if (index < 0 || index >= qMin(records.size(), recordCount)
        || isEmptySlot(records.at(int(index))))
        return Fault::NoOfficer;
    *slot = int(index);
    return Fault::None;
}

// Puts the names to write into the name cells of a row, for names typed in
// simplified Chinese that Big5 cannot write as typed. An empty cell, or one
// equal to the officer's name, leaves that name as it is.
void convertTypedNames(QStringList &cells, const QVector<int> &columns, const OfficerDetails &shown,
                       QTextCodec *codec, const Names::ToTraditional &toTraditional)
{
    const Names::PersonName before = {shown.familyName, shown.givenName, shown.styleName};
    Names::PersonName typed = before;
    QString Names::PersonName::*const fields[] = {&Names::PersonName::familyName,
                                                  &Names::PersonName::givenName,
                                                  &Names::PersonName::styleName};
    const int nameColumns[] = {TableColumn::FamilyName, TableColumn::GivenName,
                               TableColumn::StyleName};
    for (int i = 0; i < 3; ++i) {
        const int field = columns.indexOf(nameColumns[i]);
        if (field >= 0 && !cells.at(field).isEmpty())
            typed.*fields[i] = cells.at(field);
    }
    const Names::NameToWrite written =
            Names::editedNameToWrite(before, typed, codec, toTraditional);
    if (!written.writable || !written.converted)
        return;
    for (int i = 0; i < 3; ++i) {
        const int field = columns.indexOf(nameColumns[i]);
        if (field >= 0 && !cells.at(field).isEmpty())
            cells[field] = written.name.*fields[i];
    }
}

} // namespace

CsvUpdatePlan planCsvUpdate(const QList<QByteArray> &records, const QByteArray &csv,
                            QTextCodec *codec, const Names::ToTraditional &toTraditional)
{
    CsvUpdatePlan plan;
    const QVector<CsvRow> rows = readCsv(csv);
    const QStringList header = officerTableHeader();
    // A file exported while the interface was in traditional Chinese keeps
    // its use when the interface is in simplified Chinese.
    const QStringList sourceHeader = officerTableSourceHeader();

    // For each column of the file, the table's column it holds, or -1 when
    // it is ignored: unknown, computed, or named a second time.
    QVector<int> columns;
    for (const QString &text : rows.value(0).fields) {
        int column = header.indexOf(text.trimmed());
        if (column < 0)
            column = sourceHeader.indexOf(text.trimmed());
        if (columns.contains(column) || column == TableColumn::Name
            || column == TableColumn::AbilitySum || column == TableColumn::SkillSum)
            column = -1;
        columns.append(column);
    }
    const int idField = columns.indexOf(TableColumn::Id);
    if (idField < 0) {
        plan.missingIdColumn = true;
        return plan;
    }

    QList<QByteArray> working = records;
    QSet<int> named;
    for (int r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows.at(r);
        if (std::all_of(row.fields.cbegin(), row.fields.cend(),
                        [](const QString &field) { return field.isEmpty(); }))
            continue;
        auto report = [&](int column, Fault fault) {
            plan.errors.append(
                    QCoreApplication::translate("CsvUpdate", "第%1行「%2」：%3")
                            .arg(QString::number(row.line), header.at(column), faultText(fault)));
        };

        int slot = -1;
        Fault fault = officerSlot(records, cellValue(row.fields, idField), &slot);
        if (fault == Fault::None && named.contains(slot))
            fault = Fault::RepeatedId;
        if (fault != Fault::None) {
            report(TableColumn::Id, fault);
            continue;
        }
        named.insert(slot);

        RowReader reader(records, working, slot, codec);
        QStringList cells;
        for (int field = 0; field < columns.size(); ++field)
            cells.append(cellValue(row.fields, field));
        if (toTraditional)
            convertTypedNames(cells, columns, reader.shown(), codec, toTraditional);
        bool changed = false;
        for (int field = 0; field < columns.size(); ++field) {
            const int column = columns.at(field);
            if (column < 0 || column == TableColumn::Id)
                continue;
            const Verdict verdict = reader.judge(column, cells.at(field));
            if (verdict.fault != Fault::None)
                report(column, verdict.fault);
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
