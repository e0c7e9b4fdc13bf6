#include "desktop.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Desktop::prepareApplication();
    QApplication application(argc, argv);
    Desktop::setUpApplication(application);

    MainWindow window;
    // The form gives the window the 16-pixel picture; the larger sizes join it.
    window.setWindowIcon(Desktop::largeIcon(window.windowIcon()));
    window.show();
    return application.exec();
}
