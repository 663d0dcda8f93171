#include "importofficers.h"

#include "officercode.h"

#include <QMap>
#include <QSet>

#include <algorithm>

namespace EditData {

namespace {

// Whether the generic portrait number is flagged in use; false for any
// other number.
bool genericInUse(const PortraitPool &male, const PortraitPool &female, quint16 number)
{
    return male.value(number, false) || female.value(number, false);
}

} // namespace

quint16 takeFreeGenericPortrait(PortraitPool &malePortraits, PortraitPool &femalePortraits,
                                quint8 sex)
{
    if (sex > 1)
        return 0;
    PortraitPool &pool = sex == 0 ? malePortraits : femalePortraits;
    for (auto it = pool.begin(); it != pool.end(); ++it) {
        if (!it.value()) {
            it.value() = true;
            return it.key();
        }
    }
    return 0;
}

QVector<int> chosenOfficerSlots(const QList<QByteArray> &records, const QVector<int> &chosenSlots)
{
    QVector<int> chosen;
    for (const int slot : chosenSlots) {
        if (slot >= 0 && slot < records.size() && records.at(slot).size() == recordSize
            && !isEmptySlot(records.at(slot)))
            chosen.append(slot);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

std::optional<QVector<int>> importOfficers(QList<QByteArray> &records, PortraitPool &malePortraits,
                                           PortraitPool &femalePortraits,
                                           const QList<QByteArray> &source,
                                           const QVector<int> &sourceSlots)
{
    // Taken apart from records, which the copies change.
    const QList<QByteArray> from = source;
    const QVector<int> chosen = chosenOfficerSlots(from, sourceSlots);

    QVector<int> targets;
    if (chosen.isEmpty())
        return targets;
    for (int slot = 0; slot < records.size() && targets.size() < chosen.size(); ++slot) {
        if (isEmptySlot(records.at(slot)))
            targets.append(slot);
    }
    if (targets.size() < chosen.size())
        return std::nullopt;

    // Source ID -> ID of the copy, for the fathers copied along.
    QMap<int, quint16> newIds;
    for (int i = 0; i < chosen.size(); ++i)
        newIds.insert(officerIdBase + chosen.at(i), quint16(officerIdBase + targets.at(i)));

    markUsedPortraits(records, malePortraits, femalePortraits);
    for (int i = 0; i < chosen.size(); ++i) {
        QByteArray record = from.at(chosen.at(i));
        for (const int field : {fatherId, fatherId2})
            writeU16(record, field, newIds.value(readU16(record, field), noFather));

        const quint16 number = readU16(record, portrait);
        const quint8 sex = readU8(record, gender);
        if (genericInUse(malePortraits, femalePortraits, number)) {
            const quint16 free = takeFreeGenericPortrait(malePortraits, femalePortraits, sex);
            if (free != 0)
                writeU16(record, portrait, free);
        }
        markUsedPortraits({record}, malePortraits, femalePortraits);
        records[targets.at(i)] = record;
    }
    return targets;
}

std::optional<QVector<int>> pasteOfficers(QList<QByteArray> &records, PortraitPool &malePortraits,
                                          PortraitPool &femalePortraits,
                                          const CopiedOfficers &officers)
{
    if (officers.status != CopiedOfficers::Valid)
        return QVector<int>();
    // The file they came from, as far as they tell it.
    QList<QByteArray> source =
            QVector<QByteArray>(recordCount, QByteArray(recordSize, '\0')).toList();
    QVector<int> sourceSlots;
    for (int i = 0; i < officers.ids.size(); ++i) {
        const int slot = officers.ids.at(i) - officerIdBase;
        if (slot < 0 || slot >= recordCount || i >= officers.records.size())
            return QVector<int>();
        source[slot] = officers.records.at(i);
        sourceSlots.append(slot);
    }
    return importOfficers(records, malePortraits, femalePortraits, source, sourceSlots);
}

void removeOfficers(QList<QByteArray> &records, const QVector<int> &slotsToRemove)
{
    QSet<quint16> removedIds;
    for (const int slot : slotsToRemove) {
        if (slot < 0 || slot >= records.size() || slot >= recordCount)
            continue;
        records[slot].fill('\0');
        removedIds.insert(quint16(officerIdBase + slot));
    }
    if (removedIds.isEmpty())
        return;
    for (QByteArray &record : records) {
        if (isEmptySlot(record))
            continue;
        if (removedIds.contains(readU16(record, fatherId))
            || removedIds.contains(readU16(record, fatherId2))) {
            writeU16(record, fatherId, noFather);
            writeU16(record, fatherId2, noFather);
        }
    }
}

} // namespace EditData
