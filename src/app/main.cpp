#include "desktop.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Desktop::prepareApplication();
    QApplication application(argc, argv);
    Desktop::setUpApplication(application);

    MainWindow window;
    window.fitToScreen();
    Desktop::showFirstWindow(window);
    // A setup file the program was opened with is loaded once the window is
    // up, as "Načíst konfiguraci" loads it, with its messages over the window.
    const QString setup = Desktop::setupFileArgument(QCoreApplication::arguments());
    if (!setup.isEmpty())
        QMetaObject::invokeMethod(&window, [&window, setup] { window.openSetupFile(setup); }, Qt::QueuedConnection);
    return application.exec();
}
