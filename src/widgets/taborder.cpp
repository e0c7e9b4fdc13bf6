#include "taborder.h"

#include <QList>
#include <QWidget>

namespace TabOrder {

namespace {

// A spin box or an editable combo box takes the keyboard through a line of
// its own; the tab order moves it whole.
bool isOneInput(const QWidget *widget)
{
    const QWidget *proxy = widget->focusProxy();
    return widget->focusPolicy() != Qt::NoFocus && proxy && widget->isAncestorOf(proxy);
}

// The inputs under `root` in the order the window shows its parts: depth
// first, children in the order they were made.
void collect(const QWidget *root, QList<QWidget *> &inputs)
{
    for (QObject *child : root->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow())
            continue;
        if (widget->focusPolicy() != Qt::NoFocus)
            inputs << widget;
        if (!isOneInput(widget))
            collect(widget, inputs);
    }
}

} // namespace

void keepInPlace(QWidget *part)
{
    QList<QWidget *> inside;
    collect(part, inside);
    if (inside.isEmpty())
        return;
    QList<QWidget *> all;
    collect(part->window(), all);
    const int first = all.indexOf(inside.first());
    if (first <= 0)
        return;
    QWidget *previous = all.at(first - 1);
    for (QWidget *input : qAsConst(inside)) {
        QWidget::setTabOrder(previous, input);
        previous = input;
    }
}

} // namespace TabOrder
