#include "filecheck.h"

#include "editdata.h"
#include "familytree.h"
#include "importofficers.h"
#include "officerdetails.h"
#include "officertable.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <QTextCodec>

#include <algorithm>
#include <set>
#include <tuple>

namespace EditData {

namespace {

constexpr const char *ruleTexts[] = {
        QT_TRANSLATE_NOOP("FileCheck", "父親欄不一致"),
        QT_TRANSLATE_NOOP("FileCheck", "父親不存在"),
        QT_TRANSLATE_NOOP("FileCheck", "父親是自己"),
        QT_TRANSLATE_NOOP("FileCheck", "父子關係成環"),
        QT_TRANSLATE_NOOP("FileCheck", "姓名沒有結束"),
        QT_TRANSLATE_NOOP("FileCheck", "姓名無法讀取"),
        QT_TRANSLATE_NOOP("FileCheck", "頭像重複"),
        QT_TRANSLATE_NOOP("FileCheck", "超出生成範圍"),
        QT_TRANSLATE_NOOP("FileCheck", "父親年輕"),
};

// The name fields: where each begins, its last byte, and its column.
struct NameField
{
    int first;
    int last;
    int column;
};
constexpr NameField nameFields[] = {
        {familyName, givenName - 1, TableColumn::FamilyName},
        {givenName, styleName - 1, TableColumn::GivenName},
        {styleName, gender - 1, TableColumn::StyleName},
};

// Fields that generation writes within 0 to max, in the order of the record;
// a column of -1 has none in the table. The style code's range depends on
// the sex (max -1).
struct RangeField
{
    int offset;
    int count;
    int column;
    int max;
};
constexpr RangeField rangeFields[] = {
        {gender, 1, TableColumn::Sex, 1},
        {attr1057, 1, -1, 10},
        {styleCode, 1, -1, -1},
        {abilities, 4, TableColumn::Ability1, 148},
        {aptitudes, 3, TableColumn::Aptitude1, 3},
        {attr1070, 1, -1, 132},
        {skillsA, 10, TableColumn::SkillA1, 9},
        {skillsB, 10, TableColumn::SkillB1, 9},
        {attr1092, 1, -1, 19},
        {attr1093, 1, -1, 16},
        {characterCode, 1, TableColumn::Character, 3},
        {typeFlag, 1, -1, 1},
        {attr1108, 3, -1, 1},
        {attr1111, 2, -1, 2},
        {attr1113, 3, -1, 4},
};

// A father must be born at least this many years before his son.
constexpr int fatherAgeGap = 15;

// The most bytes of a name given as its value.
constexpr int valueBytes = 32;

// The generic portrait pools, flagged with those that the records use.
void usedGenericPortraits(const QList<QByteArray> &records, PortraitPool &male,
                          PortraitPool &female)
{
    PortraitPool allMale, allFemale;
    buildPortraitPools(male, female, allMale, allFemale);
    markUsedPortraits(records, male, female);
}

QString hexBytes(const QByteArray &bytes)
{
    QString hex = QString::fromLatin1(bytes.left(valueBytes).toHex(' ').toUpper());
    if (bytes.size() > valueBytes)
        hex += QStringLiteral(" …");
    return hex;
}

// Big5's user-defined areas: characters there decode, to private-use
// characters, and are not judged.
bool isUserDefined(uint lead, uint trail)
{
    const uint pair = lead << 8 | trail;
    const bool trailByte = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE);
    return trailByte
           && ((lead >= 0x81 && lead <= 0xA0) || (lead >= 0xFA && lead <= 0xFE)
               || (pair >= 0xC6A1 && pair <= 0xC8FE));
}

// Where the first byte of a name that the codec cannot read lies, or -1:
// a lead byte without its second byte (then *cut is set), or a pair that
// decodes to the replacement character. Bytes outside 0x81-0xFE stand alone.
int unreadableAt(const QByteArray &name, QTextCodec *codec, bool *cut)
{
    *cut = false;
    for (int i = 0; i < name.size();) {
        const uint lead = uchar(name.at(i));
        if (lead < 0x81 || lead > 0xFE) {
            ++i;
            continue;
        }
        if (i + 1 >= name.size()) {
            *cut = true;
            return i;
        }
        const uint trail = uchar(name.at(i + 1));
        if (!isUserDefined(lead, trail)
            && codec->toUnicode(name.constData() + i, 2).contains(QChar::ReplacementCharacter))
            return i;
        i += 2;
    }
    return -1;
}

class Checker
{
    Q_DECLARE_TR_FUNCTIONS(FileCheck)

public:
    Checker(const QList<QByteArray> &records, QTextCodec *codec);
    QVector<FileProblem> problems() const { return m_problems; }

private:
    void checkSlot(int slot);
    void checkFathers(int slot);
    void checkNames(int slot);
    void checkPortrait(int slot);
    void checkRanges(int slot);
    void checkFatherAge(int slot);
    void add(int slot, CheckRule rule, const QString &field, const QVariant &value,
             const QString &what, const QString &repair = QString());
    QString column(int column) const { return m_header.at(column); }
    static QString byteField(int offset) { return tr("字節%1").arg(offset); }
    static QString fatherText(quint16 id);
    static QString range(int min, int max) { return tr("%1至%2").arg(min).arg(max); }
    QVector<int> ringFrom(int slot) const;

    const QList<QByteArray> &m_records;
    QTextCodec *m_codec;
    const QStringList m_header;
    // The slot that fatherId leads to inside the file, or -1.
    QVector<int> m_father;
    // For each slot, whether it heads a ring: the lowest of its officers.
    QVector<bool> m_ringHead;
    // The slot that first uses each generic portrait.
    QHash<quint16, int> m_portraitUser;
    // The generic portraits free, as the repairs so far leave them.
    PortraitPool m_malePortraits;
    PortraitPool m_femalePortraits;
    // The name of the officer being checked, as the list shows it.
    QString m_name;
    QVector<FileProblem> m_problems;
};

Checker::Checker(const QList<QByteArray> &records, QTextCodec *codec)
    : m_records(records)
    , m_codec(codec)
    , m_header(officerTableHeader())
    , m_father(records.size(), -1)
    , m_ringHead(records.size(), false)
{
    usedGenericPortraits(records, m_malePortraits, m_femalePortraits);
    for (int slot = 0; slot < records.size(); ++slot) {
        if (!isEmptySlot(records.at(slot)))
            m_father[slot] = Family::fatherSlot(records, slot);
    }
    // Each officer is walked up his fathers once; a walk that meets its own
    // path has found a ring.
    enum { Unseen, OnPath, Done };
    QVector<int> state(records.size(), Unseen);
    for (int start = 0; start < records.size(); ++start) {
        QVector<int> path;
        int slot = start;
        while (slot >= 0 && state.at(slot) == Unseen) {
            state[slot] = OnPath;
            path.append(slot);
            slot = m_father.at(slot);
        }
        if (slot >= 0 && state.at(slot) == OnPath) {
            const QVector<int> ring = path.mid(path.indexOf(slot));
            m_ringHead[*std::min_element(ring.cbegin(), ring.cend())] = true;
        }
        for (int walked : qAsConst(path))
            state[walked] = Done;
    }
    for (int slot = 0; slot < records.size(); ++slot) {
        if (!isEmptySlot(records.at(slot)))
            checkSlot(slot);
    }
}

void Checker::checkSlot(int slot)
{
    m_name = officerName(m_records.at(slot), m_codec);
    checkFathers(slot);
    checkNames(slot);
    checkPortrait(slot);
    checkRanges(slot);
    checkFatherAge(slot);
}

void Checker::add(int slot, CheckRule rule, const QString &field, const QVariant &value,
                  const QString &what, const QString &repair)
{
    FileProblem problem;
    problem.slot = slot;
    problem.id = officerIdBase + slot;
    problem.name = m_name;
    problem.rule = rule;
    problem.level = rule < CheckRule::PortraitRepeated ? ProblemLevel::Error : ProblemLevel::Note;
    problem.field = field;
    problem.value = value;
    problem.problem = QCoreApplication::translate("FileCheck", ruleTexts[int(rule)]);
    problem.repairable = !repair.isEmpty();
    problem.reason = what + (problem.repairable ? repair : tr("無法自動修正。"));
    m_problems.append(problem);
}

QString Checker::fatherText(quint16 id)
{
    return id == noFather ? noFatherText() : QString::number(id);
}

// The ring that slot heads, from him up his fathers and back.
QVector<int> Checker::ringFrom(int slot) const
{
    QVector<int> ring{slot};
    for (int father = m_father.at(slot); father != slot; father = m_father.at(father))
        ring.append(father);
    ring.append(slot);
    return ring;
}

void Checker::checkFathers(int slot)
{
    const QByteArray &record = m_records.at(slot);
    const quint16 father = readU16(record, fatherId);
    const quint16 father2 = readU16(record, fatherId2);
    const QString noFatherRepair = tr("修正後父親改為「%1」。").arg(noFatherText());
    if (father != father2)
        add(slot, CheckRule::FatherFieldsDiffer, byteField(fatherId2), father2,
            tr("兩個父親欄不同：「%1」是%2，%3是%4。")
                    .arg(column(TableColumn::Father), fatherText(father), byteField(fatherId2),
                         fatherText(father2)),
            tr("修正後%1也改為%2。").arg(byteField(fatherId2), fatherText(father)));

    const int fatherSlot = int(father) - officerIdBase;
    if (fatherSlot < 0 || fatherSlot >= recordCount || fatherSlot >= m_records.size())
        return;
    if (isEmptySlot(m_records.at(fatherSlot)))
        add(slot, CheckRule::FatherMissing, column(TableColumn::Father), father,
            tr("父親%1所在的位置是空的。").arg(father), noFatherRepair);
    if (fatherSlot == slot)
        add(slot, CheckRule::FatherIsSelf, column(TableColumn::Father), father,
            tr("父親%1就是此武將自己。").arg(father), noFatherRepair);
    if (m_ringHead.at(slot)) {
        QStringList ids;
        for (int member : ringFrom(slot))
            ids.append(QString::number(officerIdBase + member));
        add(slot, CheckRule::FatherRing, column(TableColumn::Father), father,
            tr("沿著父親往上找會回到此武將：%1。").arg(ids.join(QStringLiteral(" → "))),
            noFatherRepair);
    }
}

void Checker::checkNames(int slot)
{
    const QByteArray &record = m_records.at(slot);
    QByteArray names[3];
    for (int i = 0; i < 3; ++i) {
        const NameField &field = nameFields[i];
        const QByteArray bytes = record.mid(field.first, field.last - field.first + 1);
        const int end = bytes.indexOf('\0');
        names[i] = end < 0 ? bytes : bytes.left(end);
        if (end < 0)
            add(slot, CheckRule::NameUnended, column(field.column), hexBytes(names[i]),
                tr("「%1」在第%2至%3字節中沒有結束的零字節。")
                        .arg(column(field.column), QString::number(field.first),
                             QString::number(field.last)));
    }
    if (!m_codec)
        return;
    for (int i = 0; i < 3; ++i) {
        bool cut = false;
        const int at = unreadableAt(names[i], m_codec, &cut);
        if (at < 0)
            continue;
        const QString field = column(nameFields[i].column);
        add(slot, CheckRule::NameUnreadable, field, hexBytes(names[i]),
            cut ? tr("「%1」的字節%2缺少第二個字節，無法以Big5讀取。")
                            .arg(field, hexBytes(names[i].mid(at, 1)))
                : tr("「%1」的字節%2無法以Big5讀取。").arg(field, hexBytes(names[i].mid(at, 2))));
    }
}

void Checker::checkPortrait(int slot)
{
    const QByteArray &record = m_records.at(slot);
    const quint16 number = readU16(record, portrait);
    if (!m_malePortraits.contains(number) && !m_femalePortraits.contains(number))
        return;
    const auto first = m_portraitUser.constFind(number);
    if (first == m_portraitUser.cend()) {
        m_portraitUser.insert(number, slot);
        return;
    }
    const QString what = tr("通用頭像%1已由%2使用。")
                                 .arg(QString::number(number),
                                      officerIdAndName(m_records.at(*first), *first, m_codec));
    const quint8 sex = readU8(record, gender);
    const quint16 free = takeFreeGenericPortrait(m_malePortraits, m_femalePortraits, sex);
    if (sex > 1)
        add(slot, CheckRule::PortraitRepeated, column(TableColumn::Portrait), number,
            what + tr("性別不明，無法選擇通用頭像。"));
    else if (free == 0)
        add(slot, CheckRule::PortraitRepeated, column(TableColumn::Portrait), number,
            what + tr("沒有空閒的通用頭像。"));
    else
        add(slot, CheckRule::PortraitRepeated, column(TableColumn::Portrait), number, what,
            tr("修正後改用通用頭像%1。").arg(free));
}

void Checker::checkRanges(int slot)
{
    const QByteArray &record = m_records.at(slot);
    const quint8 sex = readU8(record, gender);
    for (const RangeField &field : rangeFields) {
        for (int i = 0; i < field.count; ++i) {
            const int offset = field.offset + i;
            const int value = offset == attr1070 ? readU16(record, offset) : readU8(record, offset);
            QString allowed;
            if (field.max >= 0) {
                if (value <= field.max)
                    continue;
                allowed = range(0, field.max);
            } else {
                // The style code: 0-4 for a man, 10-13 for a woman, either
                // for a sex byte that is neither.
                const bool man = value <= 4;
                const bool woman = value >= 10 && value <= 13;
                if ((sex == 0 && man) || (sex == 1 && woman) || (sex > 1 && (man || woman)))
                    continue;
                allowed = sex == 0   ? range(0, 4)
                          : sex == 1 ? range(10, 13)
                                     : tr("%1或%2").arg(range(0, 4), range(10, 13));
            }
            const QString name = field.column >= 0 ? column(field.column + i) : byteField(offset);
            add(slot, CheckRule::OutOfRange, name, value,
                tr("「%1」是%2，超出生成時寫入的%3。").arg(name, QString::number(value), allowed));
        }
    }
}

void Checker::checkFatherAge(int slot)
{
    const int father = m_father.at(slot);
    if (father < 0)
        return;
    const int born = readU16(m_records.at(slot), birthYear);
    const int fatherBorn = readU16(m_records.at(father), birthYear);
    if (fatherBorn + fatherAgeGap <= born)
        return;
    add(slot, CheckRule::FatherYoung, column(TableColumn::BirthYear), born,
        tr("父親%1生於%2年，此武將生於%3年，相差不到%4年。")
                .arg(officerIdAndName(m_records.at(father), father, m_codec),
                     QString::number(fatherBorn), QString::number(born),
                     QString::number(fatherAgeGap)));
}

} // namespace

QVector<FileProblem> checkRecords(const QList<QByteArray> &records, QTextCodec *codec)
{
    return Checker(records, codec).problems();
}

int errorCount(const QVector<FileProblem> &problems)
{
    return int(std::count_if(problems.cbegin(), problems.cend(), [](const FileProblem &problem) {
        return problem.level == ProblemLevel::Error;
    }));
}

QString levelText(ProblemLevel level)
{
    return level == ProblemLevel::Error ? QCoreApplication::translate("FileCheck", "錯誤")
                                        : QCoreApplication::translate("FileCheck", "注意");
}

QString problemLine(const FileProblem &problem)
{
    return QStringLiteral("%1 %2 %3 %4：%5")
            .arg(QString::number(problem.id), problem.name, levelText(problem.level),
                 problem.problem, problem.reason);
}

QJsonObject problemJson(const FileProblem &problem)
{
    return {
            {QStringLiteral("slot"), problem.slot},
            {QStringLiteral("id"), problem.id},
            {QStringLiteral("name"), problem.name},
            {QStringLiteral("field"), problem.field},
            {QStringLiteral("value"), QJsonValue::fromVariant(problem.value)},
            {QStringLiteral("level"), levelText(problem.level)},
            {QStringLiteral("problem"), problem.problem},
            {QStringLiteral("reason"), problem.reason},
            {QStringLiteral("repairable"), problem.repairable},
    };
}

QList<QByteArray> repairRecords(const QList<QByteArray> &records,
                                const QVector<FileProblem> &problems, QTextCodec *codec,
                                int *repaired)
{
    using Key = std::tuple<int, CheckRule, QString>;
    std::set<Key> chosen;
    for (const FileProblem &problem : problems) {
        if (problem.repairable)
            chosen.insert({problem.slot, problem.rule, problem.field});
    }

    QList<QByteArray> result = records;
    PortraitPool malePortraits, femalePortraits;
    usedGenericPortraits(records, malePortraits, femalePortraits);
    int count = 0;
    for (const FileProblem &problem : checkRecords(records, codec)) {
        if (!problem.repairable || !chosen.count({problem.slot, problem.rule, problem.field}))
            continue;
        QByteArray &record = result[problem.slot];
        switch (problem.rule) {
        case CheckRule::FatherFieldsDiffer:
            writeU16(record, fatherId2, readU16(record, fatherId));
            break;
        case CheckRule::FatherMissing:
        case CheckRule::FatherIsSelf:
        case CheckRule::FatherRing:
            writeU16(record, fatherId, noFather);
            writeU16(record, fatherId2, noFather);
            break;
        case CheckRule::PortraitRepeated: {
            const quint16 free =
                    takeFreeGenericPortrait(malePortraits, femalePortraits, readU8(record, gender));
            if (free == 0)
                continue;
            writeU16(record, portrait, free);
            break;
        }
        default:
            continue;
        }
        ++count;
    }
    if (repaired)
        *repaired = count;
    return result;
}

} // namespace EditData
