#include "desktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <utility>

namespace Desktop {

const char *desktopFileName()
{
    return "cz.lunoris.Lunoris";
}

void prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Nothing here draws with OpenGL: a raster window spares loading the GL
    // driver (about 90 ms under X) before the first frame.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
}

bool installToolkitTranslation(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::location(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

namespace {

QPixmap resourcePixmap(const QString &path)
{
    QImageReader reader(path, "png");
    return QPixmap::fromImageReader(&reader);
}

// Gives the window and the application the icon's larger pictures once the
// window's first frame is on the screen and the events that came with it
// are done: two turns of the event loop after its first paint.
class AfterFirstFrame : public QObject
{
public:
    explicit AfterFirstFrame(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint) {
            m_window->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                QTimer::singleShot(0, this, [this] {
                    const QIcon icon = largeIcon(m_window->windowIcon());
                    QApplication::setWindowIcon(icon);
                    m_window->setWindowIcon(icon);
                    deleteLater();
                });
            });
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

QIcon resourceIcon(const QString &path)
{
    // As QIcon::addFile does it: the picture itself, and beside it the
    // variant for the screen's density where there is one.
    QIcon icon(resourcePixmap(path));
    const QString dense = qt_findAtNxFile(path, qApp->devicePixelRatio());
    if (dense != path)
        icon.addPixmap(resourcePixmap(dense));
    return icon;
}

QIcon largeIcon(QIcon icon)
{
    const std::pair<int, const char *> pictures[] = {
        {16, ":/icon/16/app_icon"}, {32, ":/icon/16/app_icon@2x"}, {48, ":/icon/16/app_icon@3x"}, {256, ":/icon/app"}};
    for (const auto &[size, path] : pictures) {
        if (!icon.availableSizes().contains(QSize(size, size)))
            icon.addPixmap(resourcePixmap(QLatin1String(path)));
    }
    return icon;
}

void showFirstWindow(QWidget &window)
{
    new AfterFirstFrame(&window);
    window.show();
}

void setUpApplication(QApplication &application)
{
    // The window class stays "lunoris" (the desktop entry's StartupWMClass)
    // however the executable is called.
    QCoreApplication::setApplicationName(QStringLiteral("lunoris"));
    QCoreApplication::setOrganizationName(QStringLiteral("Lunoris"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("lunoris.cz"));
    QGuiApplication::setDesktopFileName(QLatin1String(desktopFileName()));
    installToolkitTranslation(application);
}

QString setupFileArgument(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return {};
    return QFileInfo(arguments.at(1)).absoluteFilePath();
}

} // namespace Desktop

