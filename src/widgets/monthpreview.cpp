#include "monthpreview.h"

#include "fonts/glyphoutlines.h"
#include "render/screenpage.h"

#include <QPainter>

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
    return {250, 280};
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
    const QSizeF page = m_pageMm;
    if (page.isEmpty() || !m_glyphs)
        return;
    QRectF area = rect();
    if (!m_remark.isEmpty()) {
        // Below the page, which takes what it leaves.
        const int flags = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap;
        const QRect text = rect().adjusted(12, 0, -12, -4);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, flags, m_remark);
        area.setBottom(painter.fontMetrics().boundingRect(text, flags, m_remark).top());
    }
    // The largest size that fits, with room for the frame.
    const double margin = 4;
    const double scale = qMin((area.width() - 2 * margin) / page.width(), (area.height() - 2 * margin) / page.height());
    if (scale <= 0)
        return;
    const QSizeF shown = page * scale;
    const QPointF origin(area.x() + (area.width() - shown.width()) / 2, area.y() + (area.height() - shown.height()) / 2);

    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(origin, shown).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.translate(origin);
    painter.scale(scale, scale);
    for (const Calendar::MonthModel &part : qAsConst(m_parts))
        Calendar::paintMonth(painter, part, *m_glyphs, m_font, m_drawing);
}
