#ifndef LUNORIS_DESKTOP_H
#define LUNORIS_DESKTOP_H

#include <QIcon>

#include <QString>
#include <QStringList>

class QApplication;
class QCoreApplication;
class QWidget;

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

// A picture compiled into the program, by its resource path, as an icon:
// with its "@2x" or "@3x" variant where the screen is that dense. The
// resources are PNG pictures named without a suffix; told so, the toolkit
// neither asks the MIME database nor sniffs the file, a good part of the
// window's start-up otherwise.
QIcon resourceIcon(const QString &path);

// The application icon in 16, 32, 48 and 256 pixels, added to those the
// icon has: docks, task switchers and window lists pick the size they show.
QIcon largeIcon(QIcon icon);

// After the application object exists, before any window does.
void setUpApplication(QApplication &application);

// Shows the program's window; once its first frame is on the screen, the
// window and the application get the icon in its larger sizes (largeIcon of
// the window's own): docks and task switchers ask for them only later, and
// decoding and converting them would hold that frame up.
void showFirstWindow(QWidget &window);

// The setup file the program is started with, as a file manager starts it
// for a double-click ("lunoris %f" in the desktop entry): the first of the
// `arguments` the toolkit left after taking its own options, as an absolute
// path; empty when there is none. The program has no options of its own.
QString setupFileArgument(const QStringList &arguments);

} // namespace Desktop

#endif // LUNORIS_DESKTOP_H
