#include "screenpage.h"

#include "fonts/glyphoutlines.h"
#include "model/characters.h"
#include "printcolor.h"

#include <QColor>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>

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

// Draws the page's parts with the least work for the rasteriser, each as
// the PDF viewer draws the file's operators for it.
class PageBrush
{
public:
    PageBrush(QPainter &painter, const MonthModel &model, const GlyphOutlines &glyphs, const TextFont &font)
        : m_painter(painter)
        , m_glyphs(glyphs)
        , m_font(font)
        , m_borderWidth(model.borderWidthMm)
        , m_border(screenColor(model.borderColor))
        , m_ink(screenColor(model.fontColor))
        , m_cosmetic(QPen(m_border, 0))
    {
        m_cosmetic.setJoinStyle(Qt::MiterJoin);
    }

    void fill(const QRectF &area, const QColor &color)
    {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(color);
        m_painter.drawRect(area);
    }

    // The borders a pen of the border's width strokes around `boxes` with
    // mitred corners, as one stroke of all of them: each edge a bar as wide
    // as the border, the upright ones past the corners by half the width so
    // that they fill the corners, the bars of edges that boxes share or
    // continue joined into one. The rasteriser fills a bar as a thick line,
    // many times faster than it strokes or fills a path; where bars cross,
    // only the smoothed pixels along the crossing's edges are drawn twice.
    void outline(const QVector<QRectF> &boxes)
    {
        if (m_borderWidth <= 0) {
            // The thinnest line the device shows, which only a pen draws.
            m_painter.setPen(m_cosmetic);
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawRects(boxes);
            return;
        }
        const double half = m_borderWidth / 2;
        // The edges along each line, by where the line is: neighbours' shared
        // edges come out of the layout a rounding error apart, far below a
        // pixel, and count as one line.
        struct Line
        {
            double at = 0.0;
            QVector<QPair<double, double>> edges; // where each starts and ends
        };
        QMap<qint64, Line> rows, columns;
        const auto add = [](QMap<qint64, Line> &lines, double at, double from, double to) {
            Line &line = lines[qRound64(at * 1e6)];
            line.at = at;
            line.edges.append({from, to});
        };
        for (const QRectF &box : boxes) {
            for (const double y : {box.top(), box.bottom()})
                add(rows, y, box.left(), box.right());
            for (const double x : {box.left(), box.right()})
                add(columns, x, box.top() - half, box.bottom() + half);
        }
        QVector<QRectF> bars;
        const auto join = [&](QMap<qint64, Line> &lines, bool across) {
            for (Line &line : lines) {
                std::sort(line.edges.begin(), line.edges.end());
                for (int i = 0; i < line.edges.size();) {
                    const double from = line.edges[i].first;
                    double to = line.edges[i].second;
                    for (++i; i < line.edges.size() && line.edges[i].first <= to; ++i)
                        to = qMax(to, line.edges[i].second);
                    bars.append(across ? QRectF(from, line.at - half, to - from, m_borderWidth)
                                       : QRectF(line.at - half, from, m_borderWidth, to - from));
                }
            }
        };
        join(rows, true);
        join(columns, false);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(m_border);
        m_painter.drawRects(bars);
    }

    void mark(const QPolygonF &corner)
    {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(m_ink);
        m_painter.drawPolygon(corner);
    }

    // Each character's outline at the face's own advances, as the PDF sets
    // it, and each filled on its own, as a PDF viewer fills them. The
    // outline is taken to the device's pixels before it is filled: the
    // toolkit flattens a curve far too finely when its path is in units as
    // small as an em of a page in millimetres.
    void text(const QString &text, const QPointF &baseline, double sizeMm)
    {
        const QTransform page = m_painter.worldTransform();
        m_painter.save();
        m_painter.setWorldTransform(QTransform());
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(m_ink);
        double x = 0.0;
        forEachCodePoint(text, [&](uint character) {
            const QPainterPath glyph = m_glyphs.outline(character);
            if (!glyph.isEmpty()) {
                const QTransform place = QTransform(sizeMm, 0, 0, sizeMm, baseline.x() + x * sizeMm, -baseline.y()) * page;
                m_painter.drawPath(place.map(glyph));
            }
            x += m_font.advances.value(character) / 1000.0;
        });
        m_painter.restore();
    }

private:
    QPainter &m_painter;
    const GlyphOutlines &m_glyphs;
    const TextFont &m_font;
    double m_borderWidth;
    QColor m_border;
    QColor m_ink;
    QPen m_cosmetic;
};

} // namespace

QColor screenColor(const Cmyk &color)
{
    // No ink is the paper, which the relative colorimetric intent makes
    // the screen's white under any profile: a page of it, as the form's
    // first one is, needs no profile read on the way to the first frame.
    if (!(color.cyan > 0) && !(color.magenta > 0) && !(color.yellow > 0) && !(color.black > 0))
        return QColor(Qt::white);
    return PrintColors::instance().toScreen(color);
}

void paintMonth(QPainter &painter, const MonthModel &model, const GlyphOutlines &glyphs, const TextFont &font,
                PdfDrawing drawing)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setClipRect(onScreen(model.pageArea()), Qt::IntersectClip);
    PageBrush brush(painter, model, glyphs, font);

    const bool compact = drawing == PdfDrawing::Compact;
    if (!model.textOnly && !model.isBanded() && !compact) {
        // Day by day, each box filled and outlined, then its mark and number.
        for (const DayCell &day : model.days) {
            for (const Fill &fill : day.fills)
                brush.fill(onScreen(fill.area), screenColor(fill.color));
            brush.outline({onScreen(day.box)});
            if (day.holiday)
                brush.mark(onScreen(day.mark));
            brush.text(day.number, day.baseline, model.numberSizeMm);
        }
    } else {
        // Each colour's boxes or bands, then every outline, then the marks
        // and numbers.
        if (!model.textOnly) {
            const QVector<Cmyk> colors = model.fillColors();
            for (const Cmyk &color : colors) {
                const QColor screen = screenColor(color);
                for (const DayCell &day : model.days) {
                    for (const Fill &fill : day.fills) {
                        if (fill.color == color)
                            brush.fill(onScreen(fill.area), screen);
                    }
                }
            }
            QVector<QRectF> boxes;
            boxes.reserve(model.days.size());
            for (const DayCell &day : model.days)
                boxes.append(onScreen(day.box));
            brush.outline(boxes);
        }
        if (compact) {
            for (const DayCell &day : model.days) {
                if (day.holiday)
                    brush.mark(onScreen(day.mark));
            }
        }
        for (const DayCell &day : model.days) {
            if (day.holiday && !compact)
                brush.mark(onScreen(day.mark));
            brush.text(day.number, day.baseline, model.numberSizeMm);
        }
    }
    for (const Fill &swatch : model.swatches) {
        brush.fill(onScreen(swatch.area), screenColor(swatch.color));
        brush.outline({onScreen(swatch.area)});
    }
    for (const TextLabel &label : model.labels)
        brush.text(label.text, label.baseline, label.sizePt / PointsPerMm);
    painter.restore();
}

} // namespace Calendar
