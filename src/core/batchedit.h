#ifndef BATCHEDIT_H
#define BATCHEDIT_H

#include <QByteArray>
#include <QList>
#include <QVector>

// One change made to many officers at once.
namespace EditData {

struct BatchEdit
{
    enum Mode {
        Set, // each checked field takes the value
        Add, // the value is added to each checked field
    };

    struct Field
    {
        bool checked = false;
        int value = 0;
    };

    Mode mode = Set;
    Field birthYear;
    Field abilities[4];
    Field aptitudes[3];
    Field skillsA; // all ten levels
    Field skillsB; // all ten levels
    Field character;
};

// Writes the checked fields of edit into every occupied slot among
// selected, each result held within the range the editor gives the field;
// only the bytes whose value changes are written. Slots outside the
// records, empty slots and repeated slots are passed over. Returns the
// number of officers whose bytes changed.
int applyBatchEdit(QList<QByteArray> &records, const QVector<int> &selected, const BatchEdit &edit);

} // namespace EditData

#endif // BATCHEDIT_H
