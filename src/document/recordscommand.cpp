#include "recordscommand.h"

RecordsCommand::RecordsCommand(const QString &text, RecordsTarget &target,
                               const EditData::EditState &before, const EditData::EditState &after)
    : QUndoCommand(text)
    , m_target(target)
    , m_change(EditData::recordsChange(before.records, after.records))
    , m_empty(before == after)
{
    Q_ASSERT(before.records.size() == after.records.size());
    m_before = sideOf(before);
    m_after = sideOf(after);
}

RecordsCommand::Side RecordsCommand::sideOf(const EditData::EditState &state) const
{
    Side side;
    for (const int slot : m_change.changedSlots)
        side.records.append(state.records.at(slot));
    EditData::EditState derived{state.records, {}, {}};
    EditData::rebuildPortraitPools(derived);
    if (derived.malePortraits != state.malePortraits
        || derived.femalePortraits != state.femalePortraits)
        side.flags = RecordsTarget::PortraitFlags{state.malePortraits, state.femalePortraits};
    return side;
}

void RecordsCommand::undo()
{
    m_target.applyRecords(m_change, m_before.records, m_before.flags);
}

void RecordsCommand::redo()
{
    m_target.applyRecords(m_change, m_after.records, m_after.flags);
}
