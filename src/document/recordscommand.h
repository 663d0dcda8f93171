#ifndef RECORDSCOMMAND_H
#define RECORDSCOMMAND_H

#include "editdata.h"
#include "officercommands.h"

#include <QByteArray>
#include <QList>
#include <QUndoCommand>

#include <optional>

// What an undo step changes: the records and the portrait flags of one open
// file. The step sees nothing else of the document that holds them.
class RecordsTarget
{
public:
    // The in-use flags of the generic portraits, where the records alone do
    // not give them.
    struct PortraitFlags
    {
        EditData::PortraitPool male;
        EditData::PortraitPool female;
    };

    // Puts records into the slots of change, one record for each slot in
    // their order; the portrait flags become flags or, without, the flags
    // the records give (EditData::rebuildPortraitPools). Then tells the
    // views what changed, if anything did.
    virtual void applyRecords(const EditData::RecordsChange &change,
                              const QList<QByteArray> &records,
                              const std::optional<PortraitFlags> &flags) = 0;

protected:
    ~RecordsTarget() = default;
};

// One step of the undo history, made of the state before a command ran and
// the state it left: it keeps the records that differ, as they were before
// and after, and applies them in redo() (at once, when it is pushed) and in
// undo(); neither draws a random number.
//
// The portrait flags are what the records give after every command and its
// undo, but one: an officer generated with neither family nor given name
// leaves his slot empty and his portrait taken. Only a state whose flags
// differ from what its records give keeps its flags in the step.
class RecordsCommand : public QUndoCommand
{
public:
    RecordsCommand(const QString &text, RecordsTarget &target, const EditData::EditState &before,
                   const EditData::EditState &after);

    // True when the command changed nothing.
    bool isEmpty() const { return m_empty; }

    void undo() override;
    void redo() override;

private:
    struct Side
    {
        QList<QByteArray> records; // one for each changed slot
        std::optional<RecordsTarget::PortraitFlags> flags;
    };

    Side sideOf(const EditData::EditState &state) const;

    RecordsTarget &m_target;
    EditData::RecordsChange m_change;
    Side m_before;
    Side m_after;
    bool m_empty;
};

#endif // RECORDSCOMMAND_H
