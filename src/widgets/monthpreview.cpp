#include "monthpreview.h"

#include "fonts/glyphoutlines.h"
#include "render/screenpage.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

MonthPreview::MonthPreview(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(tr("Náhled kalendáříku"));
}

void MonthPreview::setPage(const Calendar::MonthModel &model, std::shared_ptr<const Calendar::GlyphOutlines> glyphs,
                           const Calendar::TextFont &font)
{
    const QDate first = model.days.isEmpty() ? QDate() : model.days.first().date;
    showParts(model.pageMm, {model}, std::move(glyphs), font, Calendar::PdfDrawing::AsMonthFiles,
              first.isValid() ? QStringLiteral("%1 %2").arg(Calendar::monthName(first.month())).arg(first.year()) : QString());
}

void MonthPreview::setCardFace(const Calendar::CardFace &face, std::shared_ptr<const Calendar::GlyphOutlines> glyphs,
                               const Calendar::TextFont &font)
{
    showParts(face.sizeMm(), face.parts, std::move(glyphs), font, Calendar::PdfDrawing::Compact,
              tr("Kartička do peněženky"));
}

void MonthPreview::showParts(const QSizeF &pageMm, const QVector<Calendar::MonthModel> &parts,
                             std::shared_ptr<const Calendar::GlyphOutlines> glyphs, const Calendar::TextFont &font,
                             Calendar::PdfDrawing drawing, const QString &description)
{
    m_pageMm = pageMm;
    m_parts = parts;
    m_drawing = drawing;
    m_glyphs = std::move(glyphs);
    m_font = font;
    m_notice.clear();
    setAccessibleDescription(m_remark.isEmpty() ? description : description + QLatin1Char('\n') + m_remark);
    update();
}

void MonthPreview::setNotice(const QString &notice)
{
    m_notice = notice;
    m_glyphs.reset();
    setAccessibleDescription(notice);
    update();
}

void MonthPreview::setRemark(const QString &remark)
{
    m_remark = remark;
    update();
}

QSize MonthPreview::sizeHint() const
{
    return {300, 340};
}

QSize MonthPreview::minimumSizeHint() const
{
    // A page still to be read beside the form on a small screen.
    return {180, 200};
}

namespace {

constexpr int RemarkFlags = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap;

} // namespace

MonthPreview::Placement MonthPreview::placement() const
{
    const QSizeF page = m_pageMm;
    if (!m_notice.isEmpty() || page.isEmpty() || !m_glyphs)
        return {};
    QRectF area = rect();
    if (!m_remark.isEmpty()) {
        // Below the page, which takes what it leaves.
        area.setBottom(fontMetrics().boundingRect(rect().adjusted(12, 0, -12, -4), RemarkFlags, m_remark).top());
    }
    // The largest size that fits, with room for the frame.
    const double margin = 4;
    const double scale = qMin((area.width() - 2 * margin) / page.width(), (area.height() - 2 * margin) / page.height());
    if (scale <= 0)
        return {};
    const QSizeF shown = page * scale;
    return {QPointF(area.x() + (area.width() - shown.width()) / 2, area.y() + (area.height() - shown.height()) / 2), scale};
}

QRectF MonthPreview::screenBox(const Calendar::DayCell &day) const
{
    return screenBox(day, placement());
}

QRectF MonthPreview::screenBox(const Calendar::DayCell &day, const Placement &at) const
{
    // The model's y grows upwards from the page's top edge.
    return {at.origin.x() + day.box.x() * at.scale, at.origin.y() - (day.box.y() + day.box.height()) * at.scale,
            day.box.width() * at.scale, day.box.height() * at.scale};
}

const Calendar::DayCell *MonthPreview::cellOf(const QDate &date) const
{
    for (const Calendar::MonthModel &part : m_parts) {
        for (const Calendar::DayCell &day : part.days) {
            if (day.date == date)
                return &day;
        }
    }
    return nullptr;
}

QDate MonthPreview::dayAt(const QPoint &position) const
{
    const Placement at = placement();
    if (at.scale <= 0)
        return {};
    for (const Calendar::MonthModel &part : m_parts) {
        for (const Calendar::DayCell &day : part.days) {
            if (screenBox(day, at).contains(position))
                return day.date;
        }
    }
    return {};
}

void MonthPreview::setChoosingDays(bool on)
{
    m_choosing = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    if (!on)
        m_anchor = m_current = QDate();
    update();
}

void MonthPreview::setDayDescriber(std::function<QString(const QDate &)> describe)
{
    m_describe = std::move(describe);
}

void MonthPreview::moveCurrent(const QDate &day, bool extend)
{
    if (!day.isValid())
        return;
    m_current = day;
    if (!extend || !m_anchor.isValid())
        m_anchor = day;
    if (m_describe) {
        // What a screen reader says as the keyboard moves: the day, its
        // shift and its change.
        setAccessibleDescription(m_describe(day));
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void MonthPreview::choose(const QPoint &at)
{
    if (!m_anchor.isValid() || !m_current.isValid())
        return;
    emit daysChosen(qMin(m_anchor, m_current), qMax(m_anchor, m_current), mapToGlobal(at));
}

void MonthPreview::mousePressEvent(QMouseEvent *event)
{
    const QDate day = m_choosing && event->button() == Qt::LeftButton ? dayAt(event->pos()) : QDate();
    if (!day.isValid())
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    moveCurrent(day, event->modifiers() & Qt::ShiftModifier);
    m_dragging = true;
}

void MonthPreview::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QWidget::mouseMoveEvent(event);
    const QDate day = dayAt(event->pos());
    if (day.isValid() && day != m_current)
        moveCurrent(day, true);
}

void MonthPreview::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    choose(event->pos());
}

void MonthPreview::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_choosing)
        return QWidget::contextMenuEvent(event);
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The day under the pointer, unless it is in the run chosen.
        const QDate day = dayAt(event->pos());
        if (!day.isValid())
            return;
        if (!(m_anchor.isValid() && day >= qMin(m_anchor, m_current) && day <= qMax(m_anchor, m_current)))
            moveCurrent(day, false);
        choose(event->pos());
        return;
    }
    // The menu key: the run the keyboard chose, at the day it is on.
    if (m_menuKeyTaken) {
        m_menuKeyTaken = false;
        return;
    }
    if (const Calendar::DayCell *cell = cellOf(m_current))
        choose(screenBox(*cell).center().toPoint());
}

void MonthPreview::keyPressEvent(QKeyEvent *event)
{
    if (!m_choosing)
        return QWidget::keyPressEvent(event);
    const Calendar::DayCell *current = cellOf(m_current);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Menu) {
        m_menuKeyTaken = event->key() == Qt::Key_Menu;
        if (current)
            choose(screenBox(*current).center().toPoint());
        return;
    }
    QPointF direction;
    switch (event->key()) {
    case Qt::Key_Left: direction = {-1, 0}; break;
    case Qt::Key_Right: direction = {1, 0}; break;
    case Qt::Key_Up: direction = {0, -1}; break;
    case Qt::Key_Down: direction = {0, 1}; break;
    default: return QWidget::keyPressEvent(event);
    }
    if (!current) {
        // The first day shown.
        if (!m_parts.isEmpty()) {
            for (const Calendar::MonthModel &part : qAsConst(m_parts)) {
                if (!part.days.isEmpty()) {
                    moveCurrent(part.days.first().date, false);
                    break;
                }
            }
        }
        return;
    }
    // The nearest day that way, wherever the page puts it: a week is a
    // column on the month's page and a row on the card.
    const Placement at = placement();
    const QPointF from = screenBox(*current, at).center();
    const Calendar::DayCell *best = nullptr;
    double bestDistance = 0.0;
    for (const Calendar::MonthModel &part : qAsConst(m_parts)) {
        for (const Calendar::DayCell &day : part.days) {
            const QPointF to = screenBox(day, at).center() - from;
            const double along = to.x() * direction.x() + to.y() * direction.y();
            const double across = std::abs(to.x() * direction.y() - to.y() * direction.x());
            if (along <= 1.0)
                continue;
            const double distance = along + 3 * across;
            if (!best || distance < bestDistance) {
                best = &day;
                bestDistance = distance;
            }
        }
    }
    if (best)
        moveCurrent(best->date, event->modifiers() & Qt::ShiftModifier);
}

void MonthPreview::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (m_choosing && !cellOf(m_current)) {
        for (const Calendar::MonthModel &part : qAsConst(m_parts)) {
            if (!part.days.isEmpty()) {
                moveCurrent(part.days.first().date, false);
                break;
            }
        }
    }
    update();
}

void MonthPreview::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void MonthPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_notice.isEmpty()) {
        // Where the page would be: what stops it from printing.
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_notice);
        return;
    }
    const Placement at = placement();
    if (at.scale <= 0)
        return;
    if (!m_remark.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(12, 0, -12, -4), RemarkFlags, m_remark);
    }
    const QSizeF shown = m_pageMm * at.scale;
    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(at.origin, shown).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.save();
    painter.translate(at.origin);
    painter.scale(at.scale, at.scale);
    for (const Calendar::MonthModel &part : qAsConst(m_parts))
        Calendar::paintMonth(painter, part, *m_glyphs, m_font, m_drawing);
    painter.restore();

    // The days chosen, over the page; never part of what prints.
    if (m_choosing && m_anchor.isValid()) {
        const QDate first = qMin(m_anchor, m_current), last = qMax(m_anchor, m_current);
        QColor highlight = palette().color(QPalette::Highlight);
        highlight.setAlpha(90);
        painter.setPen(Qt::NoPen);
        painter.setBrush(highlight);
        for (const Calendar::MonthModel &part : qAsConst(m_parts)) {
            for (const Calendar::DayCell &day : part.days) {
                if (day.date >= first && day.date <= last && (first != last || hasFocus() || m_dragging))
                    painter.drawRect(screenBox(day, at));
            }
        }
        if (hasFocus()) {
            if (const Calendar::DayCell *current = cellOf(m_current)) {
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
                painter.drawRect(screenBox(*current, at).adjusted(1, 1, -1, -1));
            }
        }
    }
}
