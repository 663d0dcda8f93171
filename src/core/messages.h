#ifndef MESSAGES_H
#define MESSAGES_H

#include "result.h"

#include <QString>

// The texts that the window and the command line both show the player, in
// the language of the interface, so that both say the same in the same
// words. Each keeps the translation context of the window that first showed
// it. What came of an operation (Commands::Result) is told by describe().
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
    // A data file refused; %1 is its path, with the system's separators.
    CannotOpenFile,
    WrongSize,
    HeldElsewhere,
    // A data file not written.
    CannotOpenForWriting,
    WriteFailed,
};

QString text(Text id);

// Why an operation was refused or failed, in the program's words: a file
// is named by result.file; the system's reason, result.reason, is not part
// of it. Empty for an operation that did not fail.
QString describe(const Commands::Result &result);

// Why a command was refused; empty for Changed and Unchanged.
QString refusal(Commands::Outcome outcome);

// The warning for the name-pool file that could not be opened, given as its
// index in Names::poolFiles (as Names::loadNamePools returns it).
QString poolFailure(int file);

} // namespace Messages

#endif // MESSAGES_H
