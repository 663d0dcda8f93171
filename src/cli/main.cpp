#include "clicommands.h"
#include "console.h"
#include "translations.h"
#include "wholefile.h"

#include <QCoreApplication>
#include <QTextCodec>

int main(int argc, char *argv[])
{
    // A write beyond the file-size limit fails as a write, which leaves the
    // file as it was, instead of ending the program half way.
    SafeKeeping::ignoreFileSizeSignal();
    Console::setUp();
    setProgramNames();
    QCoreApplication app(argc, argv);
    // Names and file names on the command line are UTF-8, as the window
    // takes them, whatever the locale says.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    startInterfaceLanguage(app);
    return Cli::run(QCoreApplication::arguments());
}
