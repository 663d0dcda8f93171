// Starts the program's window the way officer-maker's main does and ends once
// the window is shown and the event loop idle, printing the peak memory. Only
// for timing the start-up; officer-maker itself takes no arguments.

#include "mainwindow.h"
#include "namepools.h"
#include "program.h"
#include "startup.h"
#include "whenshown.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareApplication();
    QApplication app(argc, argv);
    startInterfaceLanguage(app);
    Program program;
    program.loadNamePools(Names::programPoolFolder());
    MainWindow *window = program.newWindow();
    int result;
    {
        ExitWhenShown exitWhenShown(*window);
        window->show();
        result = app.exec();
    }
    program.deleteWindows();
    return result;
}
