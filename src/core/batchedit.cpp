#include "batchedit.h"

#include "editdata.h"
#include "officeredit.h"

#include <QSet>

namespace EditData {

namespace {

// Where a field of the edit lies in a record.
struct Target
{
    const BatchEdit::Field &field;
    int offset;
    int count; // values side by side
    int width; // bytes per value, 1 or 2
    int max;
};

void write(QByteArray &record, const Target &target, BatchEdit::Mode mode)
{
    for (int i = 0; i < target.count; ++i) {
        const int offset = target.offset + i * target.width;
        const int current = target.width == 2 ? readU16(record, offset) : readU8(record, offset);
        const qint64 wanted = mode == BatchEdit::Add ? qint64(current) + target.field.value
                                                     : qint64(target.field.value);
        const int value = int(qBound<qint64>(0, wanted, target.max));
        if (value == current)
            continue;
        if (target.width == 2)
            writeU16(record, offset, quint16(value));
        else
            writeU8(record, offset, quint8(value));
    }
}

} // namespace

int applyBatchEdit(QList<QByteArray> &records, const QVector<int> &selected, const BatchEdit &edit)
{
    const Target targets[] = {
            {edit.birthYear, birthYear, 1, 2, maxBirthYear},
            {edit.abilities[0], abilities, 1, 1, maxAbility},
            {edit.abilities[1], abilities + 1, 1, 1, maxAbility},
            {edit.abilities[2], abilities + 2, 1, 1, maxAbility},
            {edit.abilities[3], abilities + 3, 1, 1, maxAbility},
            {edit.aptitudes[0], aptitudes, 1, 1, maxAptitude},
            {edit.aptitudes[1], aptitudes + 1, 1, 1, maxAptitude},
            {edit.aptitudes[2], aptitudes + 2, 1, 1, maxAptitude},
            {edit.skillsA, skillsA, 10, 1, maxSkillLevel},
            {edit.skillsB, skillsB, 10, 1, maxSkillLevel},
            {edit.character, characterCode, 1, 1, maxCharacterCode},
    };
    int changed = 0;
    QSet<int> done;
    for (const int slot : selected) {
        if (slot < 0 || slot >= records.size() || done.contains(slot)
            || isEmptySlot(records.at(slot)))
            continue;
        done.insert(slot);
        QByteArray record = records.at(slot);
        for (const Target &target : targets) {
            if (target.field.checked)
                write(record, target, edit.mode);
        }
        if (record != records.at(slot)) {
            records[slot] = record;
            ++changed;
        }
    }
    return changed;
}

} // namespace EditData
