#include "wheelguard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

void WheelGuard::install(QAbstractScrollArea *area)
{
    // The application sees each wheel event first, whatever child of the
    // area it is for, also of pickers made after the guard.
    qApp->installEventFilter(new WheelGuard(area));
}

WheelGuard::WheelGuard(QAbstractScrollArea *area)
    : QObject(area)
    , m_area(area)
{
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // The spin box or list itself, or the line edit inside one.
    QWidget *input = nullptr;
    for (QWidget *each = widget; each && !input && each != m_area; each = each->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox *>(each) || qobject_cast<QComboBox *>(each))
            input = each;
    }
    if (!input || input->hasFocus() || !m_area->isAncestorOf(input))
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    QScrollBar *bar = wheel->angleDelta().x() != 0 && wheel->angleDelta().y() == 0 ? m_area->horizontalScrollBar()
                                                                                      : m_area->verticalScrollBar();
    QWheelEvent scroll(bar->mapFromGlobal(wheel->globalPosition().toPoint()), wheel->globalPosition(),
                       wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(), wheel->phase(),
                       wheel->inverted(), wheel->source());
    QCoreApplication::sendEvent(bar, &scroll);
    return true;
}
