#include "recordscommand.h"

RecordsCommand::RecordsCommand(const QString &text, const EditData::EditState &before,
                               QList<QByteArray> &records, EditData::PortraitPool &malePortraits,
                               EditData::PortraitPool &femalePortraits,
                               std::function<void()> applied)
    : QUndoCommand(text)
    , m_records(records)
    , m_malePortraits(malePortraits)
    , m_femalePortraits(femalePortraits)
    , m_applied(std::move(applied))
{
    Q_ASSERT(before.records.size() == records.size());
    for (int slot = 0; slot < records.size(); ++slot) {
        if (before.records.at(slot) != records.at(slot))
            m_changes.append({slot, before.records.at(slot), records.at(slot)});
    }
    m_maleFlags = flagChanges(before.malePortraits, malePortraits);
    m_femaleFlags = flagChanges(before.femalePortraits, femalePortraits);
}

RecordsCommand::FlagChanges RecordsCommand::flagChanges(const EditData::PortraitPool &before,
                                                        const EditData::PortraitPool &after)
{
    FlagChanges changes;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key()) != it.value())
            changes.insert(it.key(), it.value());
    }
    return changes;
}

bool RecordsCommand::isEmpty() const
{
    return m_changes.isEmpty() && m_maleFlags.isEmpty() && m_femaleFlags.isEmpty();
}

void RecordsCommand::undo()
{
    apply(false);
}

void RecordsCommand::redo()
{
    // Pushing the command redoes it, but the command has run already.
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    apply(true);
}

void RecordsCommand::apply(bool forward)
{
    for (const RecordChange &change : qAsConst(m_changes))
        m_records[change.slot] = forward ? change.after : change.before;
    for (auto it = m_maleFlags.cbegin(); it != m_maleFlags.cend(); ++it)
        m_malePortraits[it.key()] = forward == it.value();
    for (auto it = m_femaleFlags.cbegin(); it != m_femaleFlags.cend(); ++it)
        m_femalePortraits[it.key()] = forward == it.value();
    if (m_applied)
        m_applied();
}
