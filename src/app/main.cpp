#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareApplication();
    QApplication app(argc, argv);
    installQtTranslation(app);
    int result;
    {
        MainWindow window;
        window.show();
        result = app.exec();
    }
    return result;
}
