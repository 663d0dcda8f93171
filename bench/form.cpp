// officer-bench-launch with the program's Designer form in a plain
// QMainWindow and nothing else: what the program's start-up is compared
// with.

#include "ui_mainwindow.h"
#include "whenshown.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int result;
    {
        QMainWindow window;
        Ui::MainWindow ui;
        ui.setupUi(&window);
        ExitWhenShown exitWhenShown(window);
        window.show();
        result = app.exec();
    }
    return result;
}
