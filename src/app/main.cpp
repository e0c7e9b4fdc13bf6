#include "desktop.h"
#include "mainwindow.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

int main(int argc, char *argv[])
{
    Desktop::prepareApplication();
    QApplication application(argc, argv);
    Desktop::setUpApplication(application);

    MainWindow window;
    // The application's icon has the larger sizes the form's picture lacks,
    // decoded once.
    window.setWindowIcon(QApplication::windowIcon());
    // Within the screen, below its title bar.
    if (const QScreen *screen = window.screen()) {
        const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
        window.fitInto(screen->availableGeometry().size() - QSize(0, titleBar));
    }
    window.show();
    // A setup file the program was opened with is loaded once the window is
    // up, as "Načíst konfiguraci" loads it, with its messages over the window.
    const QString setup = Desktop::setupFileArgument(QCoreApplication::arguments());
    if (!setup.isEmpty())
        QMetaObject::invokeMethod(&window, [&window, setup] { window.openSetupFile(setup); }, Qt::QueuedConnection);
    return application.exec();
}
