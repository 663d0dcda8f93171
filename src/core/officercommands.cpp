#include "officercommands.h"

#include "batchedit.h"
#include "big5.h"
#include "csvupdate.h"
#include "family.h"
#include "importofficers.h"
#include "namepools.h"
#include "officercode.h"
#include "officerdetails.h"

#include <QTextCodec>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <utility>

using namespace EditData;

namespace EditData {

bool operator==(const EditState &a, const EditState &b)
{
    return a.records == b.records && a.malePortraits == b.malePortraits
           && a.femalePortraits == b.femalePortraits;
}

EditState editStateOf(const QList<QByteArray> &records)
{
    EditState state{records, {}, {}};
    rebuildPortraitPools(state);
    return state;
}

void rebuildPortraitPools(EditState &state)
{
    // The generic pools with no flag set, built once: each rebuild copies
    // them, as undo and redo rebuild them too.
    static const std::pair<PortraitPool, PortraitPool> unused = [] {
        std::pair<PortraitPool, PortraitPool> pools;
        PortraitPool allMale;
        PortraitPool allFemale;
        buildPortraitPools(pools.first, pools.second, allMale, allFemale);
        return pools;
    }();
    state.malePortraits = unused.first;
    state.femalePortraits = unused.second;
    markUsedPortraits(state.records, state.malePortraits, state.femalePortraits);
}

QVector<int> changedSlots(const QList<QByteArray> &before, const QList<QByteArray> &after)
{
    QVector<int> changed;
    for (int slot = 0; slot < after.size(); ++slot) {
        if (slot >= before.size() || before.at(slot) != after.at(slot))
            changed.append(slot);
    }
    return changed;
}

namespace {

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

// How far into the record the list's name and the empty-slot test read: a
// name without its end reads on into the fields after it.
int nameExtent(const QByteArray &record)
{
    const auto end = [&record](int from) {
        const void *zero = std::memchr(record.constData() + from, '\0', record.size() - from);
        return zero ? int(static_cast<const char *>(zero) - record.constData()) + 1 : record.size();
    };
    int extent = std::max({givenName + 4, end(familyName), end(givenName)});
    if (qFromLittleEndian<quint32>(record.constData() + styleName) != 0)
        extent = std::max(extent, end(styleName));
    return extent;
}

// Whether the list shows the same for both records, an empty slot as none.
bool sameNames(const QByteArray &before, const QByteArray &after, QTextCodec *codec)
{
    const int extent = std::max(nameExtent(before), nameExtent(after));
    if (std::memcmp(before.constData(), after.constData(), extent) == 0)
        return true;
    return isEmptySlot(before) == isEmptySlot(after)
           && officerName(before, codec) == officerName(after, codec);
}

} // namespace

RecordsChange recordsChange(const QList<QByteArray> &before, const QList<QByteArray> &after)
{
    RecordsChange change;
    change.changedSlots = changedSlots(before, after);
    QTextCodec *big5 = big5Codec();
    for (const int slot : qAsConst(change.changedSlots)) {
        if (slot >= before.size() || !sameNames(before.at(slot), after.at(slot), big5)) {
            change.namesChanged = true;
            break;
        }
    }
    return change;
}

} // namespace EditData

namespace Commands {

namespace {

QTextCodec *big5Codec()
{
    return QTextCodec::codecForName("Big5");
}

// Every portrait of a sex, generic and historical; the same for every file.
const PortraitPool &wholePortraitPool(bool female)
{
    static const auto pools = [] {
        PortraitPool male;
        PortraitPool femalePool;
        std::pair<PortraitPool, PortraitPool> all;
        buildPortraitPools(male, femalePool, all.first, all.second);
        return all;
    }();
    return female ? pools.second : pools.first;
}

// Makes a new officer in slot: the names are cut to their fields at a
// character boundary, the portrait is picked, and every other value drawn.
void makeOfficer(EditState &state, qint64 slot, bool female, quint8 birthYear,
                 const QString &familyName, const QString &givenName, const QString &styleName,
                 quint16 fatherId, const Generate::Options &options)
{
    QTextCodec *big5 = big5Codec();
    Generate::Officer officer;
    officer.female = female;
    officer.birthYear = birthYear;
    officer.familyName = Names::fitName(familyName, big5, familyNameMaxBytes);
    officer.givenName = Names::fitName(givenName, big5, givenNameMaxBytes);
    officer.styleName = Names::fitName(styleName, big5, styleNameMaxBytes);
    officer.fatherId = fatherId;
    const quint16 portrait = Generate::pickPortrait(
            female ? state.femalePortraits : state.malePortraits, wholePortraitPool(female),
            options.useHistoric, Generate::programRandom);
    Generate::synthesizeOfficer(state.records[slot], officer, portrait, options,
                                Generate::programRandom);
}

Outcome outcomeSince(const EditState &before, const EditState &after)
{
    return before == after ? Outcome::Unchanged : Outcome::Changed;
}

} // namespace

Outcome generateSingle(EditState &state, const Names::PersonName &typed, bool female,
                       const Generate::Options &options, const Names::ToTraditional &toTraditional,
                       Names::PersonName *written)
{
    QList<QByteArray> &records = state.records;
    if (occupiedSlots(records).size() > recordCount - 1)
        return Outcome::Full;
    const qint64 slot =
            std::find_if(records.cbegin(), records.cend(), isEmptySlot) - records.cbegin();

    // Typed names are stored whole or not at all.
    QTextCodec *big5 = big5Codec();
    const Names::NameToWrite name = Names::nameToWrite(typed, big5, toTraditional);
    if (!name.writable)
        return Outcome::Unencodable;
    const QString names[] = {name.name.familyName, name.name.givenName, name.name.styleName};
    const int limits[] = {familyNameMaxBytes, givenNameMaxBytes, styleNameMaxBytes};
    for (int i = 0; i < 3; ++i) {
        QByteArray encoded;
        Names::encodeName(names[i], big5, &encoded);
        if (encoded.size() > limits[i])
            return Outcome::TooLong;
    }

    const EditState before = state;
    makeOfficer(state, slot, female, 170, names[0], names[1], names[2], noFather, options);
    if (written)
        *written = name.name;
    return outcomeSince(before, state);
}

Outcome generateBatch(EditState &state, const Generate::BatchRequest &request,
                      const Generate::Options &options, const Names::NamePools &pools)
{
    if (occupiedSlots(state.records).size() + request.men + request.women > recordCount)
        return Outcome::TooMany;
    if (request.men < request.families)
        return Outcome::TooFewMen;
    const bool wantsMen = request.men > 0;
    const bool wantsWomen = request.women > 0;
    if (((wantsMen || wantsWomen) && pools.familyNames.isEmpty())
        || (wantsMen && pools.boyNames.isEmpty()) || (wantsWomen && pools.girlNames.isEmpty()))
        return Outcome::EmptyPools;

    const EditState before = state;
    Generate::generateBatch(state.records, request, pools.familyNames, pools.boyNames,
                            pools.girlNames, Generate::programRandom,
                            [&](const Generate::BatchOfficer &o) {
                                makeOfficer(state, o.slot, o.female, o.birthYear, o.familyName,
                                            o.givenName, QString(), o.fatherId, options);
                            });
    return outcomeSince(before, state);
}

Outcome assignFathers(EditState &state)
{
    QTextCodec *big5 = big5Codec();
    if (!big5)
        return Outcome::Unchanged;
    const EditState before = state;
    Family::assignFathers(state.records, big5, Generate::programRandom);
    return outcomeSince(before, state);
}

bool editOfficer(EditState &state, int slot, const QByteArray &record)
{
    if (slot < 0 || slot >= state.records.size() || record.size() != recordSize)
        return false;
    const bool newPortrait = readU16(record, portrait) != readU16(state.records.at(slot), portrait);
    state.records[slot] = record;
    if (newPortrait) {
        // The portrait given up is free again, the one taken is not.
        rebuildPortraitPools(state);
    }
    return true;
}

void removeOfficers(EditState &state, const QVector<int> &slotsToRemove)
{
    EditData::removeOfficers(state.records, slotsToRemove);
    rebuildPortraitPools(state);
}

std::optional<QVector<int>> importOfficers(EditState &state, const QList<QByteArray> &source,
                                           const QVector<int> &sourceSlots)
{
    const auto added = EditData::importOfficers(state.records, state.malePortraits,
                                                state.femalePortraits, source, sourceSlots);
    if (added && !added->isEmpty())
        rebuildPortraitPools(state);
    return added;
}

std::optional<QVector<int>> pasteOfficers(EditState &state, const CopiedOfficers &officers)
{
    const auto added = EditData::pasteOfficers(state.records, state.malePortraits,
                                               state.femalePortraits, officers);
    if (added && !added->isEmpty())
        rebuildPortraitPools(state);
    return added;
}

int updateFromCsv(EditState &state, const CsvUpdatePlan &plan)
{
    QTextCodec *big5 = big5Codec();
    if (!big5)
        return 0;
    const CsvUpdateResult result = applyCsvUpdate(state.records, plan, big5);
    if (result.portraitChanged) {
        // The portraits given up are free again, the ones taken are not.
        rebuildPortraitPools(state);
    }
    return result.changedSlots.size();
}

int batchEdit(EditState &state, const QVector<int> &selected, const BatchEdit &edit)
{
    return applyBatchEdit(state.records, selected, edit);
}

} // namespace Commands
