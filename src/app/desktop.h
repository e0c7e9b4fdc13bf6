#ifndef LUNORIS_DESKTOP_H
#define LUNORIS_DESKTOP_H

#include <QIcon>

#include <QString>
#include <QStringList>

class QApplication;
class QCoreApplication;

// How the running application meets the desktop: the names the desktop knows
// it by, the toolkit's own texts in Czech and a window icon in large sizes.
namespace Desktop {

// The desktop entry and AppStream id; on Wayland also the window's app id.
const char *desktopFileName();

// Before the application object exists. Screens of twice or three times the
// usual density draw at device pixel ratio 2 or 3 with the @2x and @3x
// pictures; below 1.75 the window stays at ratio 1 with the desktop's larger
// fonts, which the form grows with, instead of blurring at a fractional ratio.
void prepareApplication();

// The toolkit's own texts (file dialogs, standard buttons) from Debian's
// qttranslations5-l10n, in Czech whatever the locale says: the application
// is Czech throughout. False where that translation is not installed.
bool installToolkitTranslation(QCoreApplication &application);

// The application icon in 16, 32, 48 and 256 pixels, added to those the
// icon has: docks, task switchers and window lists pick the size they show.
QIcon largeIcon(QIcon icon);

// After the application object exists, before any window does.
void setUpApplication(QApplication &application);

// The setup file the program is started with, as a file manager starts it
// for a double-click ("lunoris %f" in the desktop entry): the first of the
// `arguments` the toolkit left after taking its own options, as an absolute
// path; empty when there is none. The program has no options of its own.
QString setupFileArgument(const QStringList &arguments);

} // namespace Desktop

#endif // LUNORIS_DESKTOP_H
