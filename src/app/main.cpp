#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareApplication();
    QApplication app(argc, argv);
    startInterfaceLanguage(app);
    int result;
    {
        MainWindow window;
        window.show();
        result = app.exec();
        // Windows opened from the first are deleted when they close; those
        // still open when the program is ended otherwise go here.
        for (MainWindow *other : MainWindow::windows()) {
            if (other != &window)
                delete other;
        }
    }
    return result;
}
