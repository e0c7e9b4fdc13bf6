#include "screenpage.h"

#include "fonts/glyphoutlines.h"
#include "model/characters.h"
#include "printcolor.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace Calendar {

namespace {

// The model's y grows upwards from the top edge; the screen's downwards.
QRectF onScreen(const QRectF &box)
{
    return {box.x(), -(box.y() + box.height()), box.width(), box.height()};
}

QPolygonF onScreen(QPolygonF polygon)
{
    for (QPointF &point : polygon)
        point.setY(-point.y());
    return polygon;
}

} // namespace

QColor screenColor(const Cmyk &color)
{
    return PrintColors::instance().toScreen(color);
}

void paintMonth(QPainter &painter, const MonthModel &model, const GlyphOutlines &glyphs, const TextFont &font)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setClipRect(onScreen(model.pageArea()), Qt::IntersectClip);
    // A width of 0 is the thinnest line the device can show, in the PDF too.
    QPen border(screenColor(model.borderColor), model.borderWidthMm);
    border.setJoinStyle(Qt::MiterJoin);
    const QBrush ink(screenColor(model.fontColor));

    // Each character's outline at the face's own advances, as the PDF sets it.
    const auto drawText = [&](const QString &text, const QPointF &baseline, double sizeMm) {
        QPainterPath line;
        line.setFillRule(Qt::WindingFill);
        double x = 0.0;
        forEachCodePoint(text, [&](uint character) {
            line.addPath(glyphs.outline(character).translated(x, 0.0));
            x += font.advances.value(character) / 1000.0;
        });
        painter.save();
        painter.translate(baseline.x(), -baseline.y());
        painter.scale(sizeMm, sizeMm);
        painter.drawPath(line);
        painter.restore();
    };

    // Day by day in the PDF's order, so that what overlaps covers alike.
    for (const DayCell &day : model.days) {
        if (!model.textOnly) {
            painter.setPen(Qt::NoPen);
            for (const Fill &fill : day.fills) {
                painter.setBrush(screenColor(fill.color));
                painter.drawRect(onScreen(fill.area));
            }
            painter.setPen(border);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(onScreen(day.box));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        if (day.holiday)
            painter.drawPolygon(onScreen(day.mark));
        drawText(day.number, day.baseline, model.numberSizeMm);
    }
    for (const Fill &swatch : model.swatches) {
        painter.setPen(border);
        painter.setBrush(screenColor(swatch.color));
        painter.drawRect(onScreen(swatch.area));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    for (const TextLabel &label : model.labels)
        drawText(label.text, label.baseline, label.sizePt / PointsPerMm);
    painter.restore();
}

} // namespace Calendar
