#include "screenpage.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace Calendar {

namespace {

// The CMYK values converted for the screen as the toolkit converts them.
QColor screenColor(const Cmyk &color)
{
    return QColor::fromCmykF(color.cyan, color.magenta, color.yellow, color.black);
}

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

// Glyphs are drawn large and scaled down, so that they keep the outlines'
// own advances at any zoom, as the PDF does.
constexpr int DrawnPixelSize = 256;

} // namespace

void paintMonth(QPainter &painter, const MonthModel &model, const ShiftColors &shiftColors,
                const PageLook &look)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // A width of 0 is the thinnest line the device can show, in the PDF too.
    QPen border(screenColor(look.borderColor), look.borderWidthPt / PointsPerMm);
    border.setJoinStyle(Qt::MiterJoin);
    const QBrush ink(screenColor(look.fontColor));

    QFont font(look.font.resolvedFamily.isEmpty() ? look.font.family : look.font.resolvedFamily);
    font.setPixelSize(DrawnPixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    // As outlines, not glyph images: those would be snapped to whole pixels.
    const auto drawText = [&](const QString &text, const QPointF &baseline, double sizePt) {
        QPainterPath outline;
        outline.addText(QPointF(0, 0), font, text);
        const double scale = sizePt / PointsPerMm / DrawnPixelSize;
        painter.save();
        painter.translate(baseline.x(), -baseline.y());
        painter.scale(scale, scale);
        painter.drawPath(outline);
        painter.restore();
    };

    // Day by day in the PDF's order, so that what overlaps covers alike.
    for (const DayCell &day : model.days) {
        if (!look.textOnly) {
            painter.setPen(border);
            painter.setBrush(screenColor(shiftColors[size_t(day.shift)]));
            painter.drawRect(onScreen(day.box));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        if (day.holiday)
            painter.drawPolygon(onScreen(day.mark));
        drawText(day.number, day.baseline, model.layout.fontSizePt);
    }
    for (const TextLabel &label : model.labels)
        drawText(label.text, label.baseline, label.sizePt);
    painter.restore();
}

} // namespace Calendar
