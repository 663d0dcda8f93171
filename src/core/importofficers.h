#ifndef IMPORTOFFICERS_H
#define IMPORTOFFICERS_H

#include "editdata.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <optional>

// Officers moved into a file's empty slots and out of its slots: imported
// from another file, pasted from a copy, removed.
namespace EditData {

struct CopiedOfficers;

// The lowest free generic portrait of the sex (the gender byte: 0 male,
// 1 female), flagged in its pool as generation flags it; 0 when none is free
// or for any other sex byte.
quint16 takeFreeGenericPortrait(PortraitPool &malePortraits, PortraitPool &femalePortraits,
                                quint8 sex);

// The chosen slots that hold an officer, ascending and each once. Slots that
// are empty or lie outside records are passed over.
QVector<int> chosenOfficerSlots(const QList<QByteArray> &records, const QVector<int> &chosenSlots);

// Copies the officers of the chosen slots of source, all their bytes, into
// the lowest empty slots of records, in the order of their source slots.
// Chosen slots that are empty or lie outside source are passed over.
//
// In each copy, fatherId and fatherId2 that name an officer copied along get
// his new ID; any other value becomes noFather. A generic portrait that an
// officer of records already uses, or one copied before it, is replaced by
// the lowest free generic portrait of the copy's sex, which is flagged in the
// pools as generation flags it; with none free, or a sex byte other than 0
// and 1, the copy keeps its own. Other portraits are kept. The pools are
// those of records; nothing is drawn at random.
//
// Returns the slots written, in order, or nothing when the officers do not
// fit into the empty slots; then records and pools are unchanged. source may
// be records itself.
std::optional<QVector<int>> importOfficers(QList<QByteArray> &records, PortraitPool &malePortraits,
                                           PortraitPool &femalePortraits,
                                           const QList<QByteArray> &source,
                                           const QVector<int> &sourceSlots);

// Adds the officers exactly as importOfficers adds the chosen officers of
// another file, each taken from the slot of his ID: into the lowest empty
// slots in the order of their IDs, fathers among them followed, other
// fathers cut, generic portraits in use replaced. The pools are those of
// records, as importOfficers takes them. Returns the slots written, or
// nothing when they do not fit; then records and pools are unchanged.
// Officers that are not Valid add nothing and give an empty list.
std::optional<QVector<int>> pasteOfficers(QList<QByteArray> &records, PortraitPool &malePortraits,
                                          PortraitPool &femalePortraits,
                                          const CopiedOfficers &officers);

// Clears every given slot to zero bytes and unlinks the remaining officers
// whose father (either field) was one of them: both fields become noFather.
// Slots outside the records and repeated slots are ignored.
void removeOfficers(QList<QByteArray> &records, const QVector<int> &slotsToRemove);

} // namespace EditData

#endif // IMPORTOFFICERS_H
