// A Qt Core program that starts and ends and does nothing else: the floor
// that the command line's start-up is compared with.

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return 0;
}
