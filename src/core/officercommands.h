#ifndef OFFICERCOMMANDS_H
#define OFFICERCOMMANDS_H

#include "editdata.h"
#include "generate.h"
#include "result.h"
#include "typedname.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <optional>

namespace Names {
struct NamePools;
}

namespace EditData {

struct BatchEdit;
struct CopiedOfficers;
struct CsvUpdatePlan;

// What the commands change of an open file: its records and the in-use
// flags of the generic portraits.
struct EditState
{
    QList<QByteArray> records;
    PortraitPool malePortraits;
    PortraitPool femalePortraits;
};

bool operator==(const EditState &a, const EditState &b);
inline bool operator!=(const EditState &a, const EditState &b)
{
    return !(a == b);
}

// The records as read from a file, their portrait flags built from them.
EditState editStateOf(const QList<QByteArray> &records);
// Builds the portrait flags afresh from the records: the generic portraits
// that an occupied record carries are in use.
void rebuildPortraitPools(EditState &state);

// The slots whose records differ between the records of one file before and
// after a command, ascending.
QVector<int> changedSlots(const QList<QByteArray> &before, const QList<QByteArray> &after);

// What changed in the records of one file, as a document tells its views.
struct RecordsChange
{
    // The slots whose records differ, ascending.
    QVector<int> changedSlots;
    // Some name among them, as the list shows it, changed: an officer was
    // made, removed or renamed.
    bool namesChanged = false;
    // Another file was read in their place: any record may differ.
    bool fileReplaced = false;

    bool isEmpty() const { return changedSlots.isEmpty() && !fileReplaced; }
};

// The change from the records before to those after.
RecordsChange recordsChange(const QList<QByteArray> &before, const QList<QByteArray> &after);

} // namespace EditData

// The commands of an open file, on its state as a plain value: the window's
// document makes each one an undo step, the command line runs it on the file
// it reads. Each checks everything before it changes anything, and draws its
// random numbers from the program's random source in a fixed order, so the
// same commands on the same state give the same bytes wherever they run.
namespace Commands {

// 生成單個: one officer with the typed names in the first empty slot, born
// in 170 without a father. Names typed in simplified Chinese are converted
// with toTraditional (see Names::nameToWrite); written, once the officer is
// made, gets the names written.
Outcome generateSingle(EditData::EditState &state, const Names::PersonName &typed, bool female,
                       const Generate::Options &options, const Names::ToTraditional &toTraditional,
                       Names::PersonName *written = nullptr);
// 隨機生成: the batch asked for, with names drawn from the pools.
Outcome generateBatch(EditData::EditState &state, const Generate::BatchRequest &request,
                      const Generate::Options &options, const Names::NamePools &pools);
// 同姓武將匹配父子關係.
Outcome assignFathers(EditData::EditState &state);

// Puts the edited record into slot; a new portrait frees the old one. False
// for a slot outside the records or a record of another size.
bool editOfficer(EditData::EditState &state, int slot, const QByteArray &record);
// Clears the slots, unlinks the sons of the removed officers and frees their
// portraits.
void removeOfficers(EditData::EditState &state, const QVector<int> &slotsToRemove);
// Copies the chosen officers of another file's records into the empty slots
// (see EditData::importOfficers). Returns the slots written, or nothing when
// they do not fit; then the state is unchanged.
std::optional<QVector<int>> importOfficers(EditData::EditState &state,
                                           const QList<QByteArray> &source,
                                           const QVector<int> &sourceSlots);
// Adds copied officers as importOfficers adds them (see
// EditData::pasteOfficers). Returns the slots written, none for officers that
// are not valid, or nothing when they do not fit.
std::optional<QVector<int>> pasteOfficers(EditData::EditState &state,
                                          const EditData::CopiedOfficers &officers);
// Writes what a CSV file changes, from a plan made of these records (see
// EditData::applyCsvUpdate); a new portrait frees the old one. Returns the
// number of officers whose bytes changed.
int updateFromCsv(EditData::EditState &state, const EditData::CsvUpdatePlan &plan);
// Writes the edit into the officers of the selected slots (see
// EditData::applyBatchEdit). Returns the number of officers whose bytes
// changed.
int batchEdit(EditData::EditState &state, const QVector<int> &selected,
              const EditData::BatchEdit &edit);

} // namespace Commands

#endif // OFFICERCOMMANDS_H
