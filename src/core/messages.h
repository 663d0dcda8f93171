#ifndef MESSAGES_H
#define MESSAGES_H

#include "officercommands.h"
#include "readerror.h"

#include <QString>

// The texts that the window and the command line both show the player, in
// the language of the interface, so that both say the same in the same
// words. Each keeps the translation context of the window that first showed
// it. Why a data file was refused is readErrorText (readerror.h).
namespace Messages {

enum class Text {
    // A command refused (see refusal()).
    NoFile,
    Full,
    Unencodable,
    TooLong,
    TooMany,
    TooFewMen,
    EmptyPools,
    // A name-pool file that cannot be opened, in the order of Names::poolFiles.
    NoFamilyNames,
    NoBoyNames,
    NoGirlNames,
    // What a command did; %1 is a number of officers.
    GeneratedOne,
    Generated,
    FathersLinked,
    FathersUnchanged,
    Imported,
    Pasted,
    // %1 is the file's path, with the system's separators.
    Saved,
    CodeDamaged,
    // The officer table's CSV files: %1 is a number of officers, or the
    // file's path and %2 the reason.
    CsvMissingId,
    CsvUnchanged,
    CsvUpdated,
    CsvExported,
    CannotRead,
    CannotWrite,
    FileTooLarge,
};

QString text(Text id);

// Why a command was refused; empty for Changed and Unchanged.
QString refusal(Commands::Outcome outcome);

// The warning for the name-pool file that could not be opened, given as its
// index in Names::poolFiles (as Names::loadNamePools returns it).
QString poolFailure(int file);

} // namespace Messages

#endif // MESSAGES_H
