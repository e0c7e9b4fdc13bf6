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

// Glyphs are drawn large and scaled down, so that they keep the outlines'
// own advances at any zoom, as the PDF does.
constexpr int DrawnPixelSize = 256;

} // namespace

void paintMonth(QPainter &painter, const MonthModel &model, const ShiftColors &shiftColors,
                const PageLook &look)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    if (!look.textOnly) {
        // A width of 0 is the thinnest line the device can show, in the PDF too.
        QPen border(screenColor(look.borderColor), look.borderWidthPt / PointsPerMm);
        border.setJoinStyle(Qt::MiterJoin);
        painter.setPen(border);
        for (const DayCell &day : model.days) {
            painter.setBrush(screenColor(shiftColors[size_t(day.shift)]));
            painter.drawRect(onScreen(day.box));
        }
    }

    QFont font(look.font.resolvedFamily.isEmpty() ? look.font.family : look.font.resolvedFamily);
    font.setPixelSize(DrawnPixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    // As outlines, not glyph images: those would be snapped to whole pixels.
    painter.setPen(Qt::NoPen);
    painter.setBrush(screenColor(look.fontColor));
    const double scale = model.layout.fontSizePt / PointsPerMm / DrawnPixelSize;
    for (const DayCell &day : model.days) {
        QPainterPath number;
        number.addText(QPointF(0, 0), font, day.number);
        painter.save();
        painter.translate(day.baseline.x(), -day.baseline.y());
        painter.scale(scale, scale);
        painter.drawPath(number);
        painter.restore();
    }
    painter.restore();
}

} // namespace Calendar
