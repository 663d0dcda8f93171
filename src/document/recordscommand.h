#ifndef RECORDSCOMMAND_H
#define RECORDSCOMMAND_H

#include "editdata.h"
#include "officercommands.h"

#include <QByteArray>
#include <QList>
#include <QUndoCommand>
#include <QVector>

#include <functional>

// One step of the undo history. It keeps only what its command changed: the
// records that differ, as they were before and after, and the portrait flags
// that flipped. Undo and redo put those back into the window's records and
// pools and then call applied; neither draws a random number.
class RecordsCommand : public QUndoCommand
{
public:
    // before is the state as it stood before the command ran; records and
    // the pools are the window's, as the command left them.
    RecordsCommand(const QString &text, const EditData::EditState &before,
                   QList<QByteArray> &records, EditData::PortraitPool &malePortraits,
                   EditData::PortraitPool &femalePortraits, std::function<void()> applied);

    // True when the command changed nothing.
    bool isEmpty() const;

    void undo() override;
    void redo() override;

private:
    struct RecordChange
    {
        int slot;
        QByteArray before;
        QByteArray after;
    };
    using FlagChanges = QMap<quint16, bool>; // portrait -> flag after the command

    static FlagChanges flagChanges(const EditData::PortraitPool &before,
                                   const EditData::PortraitPool &after);
    void apply(bool forward);

    QList<QByteArray> &m_records;
    EditData::PortraitPool &m_malePortraits;
    EditData::PortraitPool &m_femalePortraits;
    std::function<void()> m_applied;
    QVector<RecordChange> m_changes;
    FlagChanges m_maleFlags;
    FlagChanges m_femaleFlags;
    bool m_pushed = false;
};

#endif // RECORDSCOMMAND_H
