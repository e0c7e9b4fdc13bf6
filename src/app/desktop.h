#ifndef LUNORIS_DESKTOP_H
#define LUNORIS_DESKTOP_H

// How the running application meets the desktop: the names the desktop knows
// it by, the toolkit's own texts in Czech and a window icon in large sizes.
// Inline, so that main() and the tests share it without a library of its own.

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <utility>

namespace Desktop {

// The desktop entry and AppStream id; on Wayland also the window's app id.
inline const char *desktopFileName()
{
    return "cz.lunoris.Lunoris";
}

// Before the application object exists. Screens of twice or three times the
// usual density draw at device pixel ratio 2 or 3 with the @2x and @3x
// pictures; below 1.75 the window stays at ratio 1 with the desktop's larger
// fonts, which the form grows with, instead of blurring at a fractional ratio.
inline void prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
}

// The toolkit's own texts (file dialogs, standard buttons) from Debian's
// qttranslations5-l10n, in Czech whatever the locale says: the application
// is Czech throughout. False where that translation is not installed.
inline bool installToolkitTranslation(QCoreApplication &application)
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

// The application icon in 16, 32, 48 and 256 pixels, added to those the
// icon has: docks, task switchers and window lists pick the size they show.
inline QIcon largeIcon(QIcon icon)
{
    const std::pair<int, const char *> pictures[] = {
        {16, ":/icon/16/app_icon"}, {32, ":/icon/16/app_icon@2x"}, {48, ":/icon/16/app_icon@3x"}, {256, ":/icon/app"}};
    for (const auto &[size, path] : pictures) {
        if (!icon.availableSizes().contains(QSize(size, size)))
            icon.addFile(QLatin1String(path));
    }
    return icon;
}

// After the application object exists, before any window does.
inline void setUpApplication(QApplication &application)
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

} // namespace Desktop

#endif // LUNORIS_DESKTOP_H
