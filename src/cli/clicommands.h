#ifndef CLICOMMANDS_H
#define CLICOMMANDS_H

#include <QStringList>

// The command line: officer-maker-cli COMMAND [ARGUMENTS] [OPTIONS]. Each
// command does what one of the window's commands does, with the core's
// operations, texts and file safety, so it writes the bytes the window would
// write after the same steps in a freshly started program.
namespace Cli {

// The exit status of a run.
enum Status {
    Done = 0, // the command did what was asked
    Failed = 1, // the file or the input was refused, or a write failed
    WrongUsage = 2, // an unknown command or option, a missing argument, a
                    // number that is not one
};

// Runs the command line given as QCoreApplication::arguments() gives it,
// the program's name first. What a command produces goes to standard
// output, refusals and errors to standard error. Returns the exit status.
int run(const QStringList &arguments);

} // namespace Cli

#endif // CLICOMMANDS_H
