#ifndef RESULT_H
#define RESULT_H

#include "datafile.h"

#include <QString>

#include <utility>

// What came of an operation on an open file, the same for every operation:
// the window and the command line turn it into the player's message with
// Messages::describe.
namespace Commands {

enum class Outcome {
    Changed, // the records changed
    Unchanged, // the operation ran and changed nothing
    Done, // a file was read, written or backed up as asked
    // A command refused; nothing changed.
    NoFile, // no data file is open
    Full, // no empty slot is left
    Unencodable, // a typed name has a character that Big5 cannot hold
    TooLong, // a typed name takes more bytes than its field holds
    TooMany, // more officers asked for, or added, than there are empty slots
    TooFewMen, // fewer men asked for than families
    EmptyPools, // a name pool that the batch needs is empty
    // A data file refused (see EditData::ReadError); nothing changed.
    CannotOpen,
    WrongSize,
    HeldElsewhere,
    // A data file not written (see EditData::WriteError); it is as it was.
    CannotOpenForWriting,
    WriteFailed,
    // A backup that could not be written.
    BackupFailed,
};

struct Result
{
    Result() = default;
    Result(Outcome anOutcome, int aCount = 0, QString aFile = QString(),
           QString aReason = QString())
        : outcome(anOutcome)
        , count(aCount)
        , file(std::move(aFile))
        , reason(std::move(aReason))
    { }

    Outcome outcome = Outcome::Unchanged;
    // How many officers the operation made, changed or added, or how many
    // problems it mended.
    int count = 0;
    // The file that a refusal or a failure concerns, with its whole path.
    QString file;
    // Why it failed, as the system says it.
    QString reason;

    bool changed() const { return outcome == Outcome::Changed; }
    // Refused, or failed: neither changed anything, nor ran as asked.
    bool failed() const
    {
        return outcome != Outcome::Changed && outcome != Outcome::Unchanged
               && outcome != Outcome::Done;
    }
};

// The outcome of reading a data file; Done for a file read.
Outcome outcomeOf(EditData::ReadError error);
// The outcome of writing a data file; Done for a file written.
Outcome outcomeOf(EditData::WriteError error);

} // namespace Commands

#endif // RESULT_H
