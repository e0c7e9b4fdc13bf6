#include "keyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace Keyboard {

namespace {

class ReturnClicks : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        // Plain Return, or Enter on the keypad; with Ctrl it is the window's
        // shortcut, with Alt or Shift someone else's.
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
            return false;
        auto *button = static_cast<QAbstractButton *>(watched);
        if (key->isAutoRepeat() || !button->isEnabled())
            return true;
        button->click();
        return true;
    }
};

} // namespace

void clickOnReturn(QAbstractButton *button)
{
    button->installEventFilter(new ReturnClicks(button));
}

QAction *clickOnKeys(QWidget *window, QAbstractButton *button, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(button->text(), window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, button, [button] {
        // A click the mouse could not make is not made by the keys either.
        if (button->isEnabled() && button->isVisible())
            button->click();
    });
    return action;
}

} // namespace Keyboard
