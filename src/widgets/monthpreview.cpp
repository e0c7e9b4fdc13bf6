#include "monthpreview.h"

#include "calendar/screenpage.h"

#include <QPainter>

MonthPreview::MonthPreview(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MonthPreview::setPage(const Calendar::MonthModel &model, const Calendar::ShiftColors &shiftColors,
                           const Calendar::PageLook &look)
{
    m_model = model;
    m_shiftColors = shiftColors;
    m_look = look;
    update();
}

QSize MonthPreview::sizeHint() const
{
    return {300, 340};
}

QSize MonthPreview::minimumSizeHint() const
{
    return {250, 280};
}

void MonthPreview::paintEvent(QPaintEvent *)
{
    const QSizeF page = m_model.pageMm;
    if (page.isEmpty())
        return;
    // The largest size that fits, with room for the frame.
    const double margin = 4;
    const double scale = qMin((width() - 2 * margin) / page.width(), (height() - 2 * margin) / page.height());
    if (scale <= 0)
        return;
    const QSizeF shown = page * scale;
    const QPointF origin((width() - shown.width()) / 2, (height() - shown.height()) / 2);

    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(origin, shown).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.translate(origin);
    painter.scale(scale, scale);
    Calendar::paintMonth(painter, m_model, m_shiftColors, m_look);
}
