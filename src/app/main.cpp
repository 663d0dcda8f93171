#include "mainwindow.h"
#include "namepools.h"
#include "program.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareApplication();
    QApplication app(argc, argv);
    startInterfaceLanguage(app);
    Program program;
    program.loadNamePools(Names::programPoolFolder());
    program.newWindow()->show();
    const int result = app.exec();
    // Windows opened from the first are deleted when they close; the first,
    // and those still open when the program is ended otherwise, go here.
    program.deleteWindows();
    return result;
}
