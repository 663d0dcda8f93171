// officer-bench-launch with a plain QMainWindow: the floor that the program's
// start-up is compared with.

#include "whenshown.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int result;
    {
        QMainWindow window;
        ExitWhenShown exitWhenShown(window);
        window.show();
        result = app.exec();
    }
    return result;
}
