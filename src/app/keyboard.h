#ifndef LUNORIS_KEYBOARD_H
#define LUNORIS_KEYBOARD_H

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QAction;
class QWidget;

// The window's main actions from the keyboard, without changing its buttons:
// their captions stay as the form has them (no mnemonics) and none of them
// becomes a default button, which would redraw and resize it.
namespace Keyboard {

// Return and Enter click `button` while it has the focus, as they do in a
// dialog; a main window's buttons otherwise answer only Space.
void clickOnReturn(QAbstractButton *button);

// `keys` click `button` wherever the focus is in `window`, as long as the
// button can be clicked. The action belongs to `window`.
QAction *clickOnKeys(QWidget *window, QAbstractButton *button, const QList<QKeySequence> &keys);

} // namespace Keyboard

#endif // LUNORIS_KEYBOARD_H
