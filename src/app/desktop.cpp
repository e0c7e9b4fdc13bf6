#include "desktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

QIcon largeIcon(QIcon icon)
{
    const std::pair<int, const char *> pictures[] = {
        {16, ":/icon/16/app_icon"}, {32, ":/icon/16/app_icon@2x"}, {48, ":/icon/16/app_icon@3x"}, {256, ":/icon/app"}};
    for (const auto &[size, path] : pictures) {
        if (!icon.availableSizes().contains(QSize(size, size)))
            icon.addFile(QLatin1String(path));
    }
    return icon;
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
    QApplication::setWindowIcon(largeIcon(QIcon()));
}

QString setupFileArgument(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return {};
    return QFileInfo(arguments.at(1)).absoluteFilePath();
}

} // namespace Desktop

