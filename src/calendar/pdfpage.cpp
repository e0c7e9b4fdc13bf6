#include "pdfpage.h"

#include <podofo/podofo.h>

using namespace PoDoFo;

namespace Calendar {

namespace {

void setFill(PdfPainter &painter, const Cmyk &color)
{
    painter.SetColorCMYK(color.cyan, color.magenta, color.yellow, color.black);
}

// A day's holiday mark and number, in the font colour (set here unless it
// already is).
void drawDay(PdfPainter &painter, const MonthModel &model, const DayCell &day, bool colorSet = false)
{
    if (!colorSet)
        setFill(painter, model.fontColor);
    if (day.holiday) {
        painter.MoveTo(day.mark.at(0).x(), day.mark.at(0).y());
        for (int i = 1; i < day.mark.size(); ++i)
            painter.LineTo(day.mark.at(i).x(), day.mark.at(i).y());
        painter.ClosePath();
        painter.Fill();
    }
    // Each number in a graphics state of its own, as the files have always
    // had them.
    painter.Save();
    painter.DrawText(day.baseline.x(), day.baseline.y(), PdfString(day.number.toLatin1().constData()));
    painter.Restore();
}

void drawText(PdfPainter &painter, const QString &text, const QPointF &baseline)
{
    const QByteArray utf8 = text.toUtf8();
    painter.DrawText(baseline.x(), baseline.y(), PdfString(reinterpret_cast<const pdf_utf8 *>(utf8.constData())));
}

} // namespace

void drawMonth(PdfPainter &painter, const MonthModel &model)
{
    const Cmyk &border = model.borderColor;
    painter.SetStrokingColorCMYK(border.cyan, border.magenta, border.yellow, border.black);
    painter.SetStrokeWidth(model.borderWidthMm);
    PdfFont *font = painter.GetFont();
    font->SetFontSize(model.numberSizeMm);

    const double w = model.boxWidthMm;
    const double h = model.boxHeightMm;
    if (!model.textOnly && !model.isBanded()) {
        // A box of one colour at most: day by day, each box filled and
        // outlined in one go, as the files have always had them.
        for (const DayCell &day : model.days) {
            if (!day.fills.isEmpty())
                setFill(painter, day.fills.first().color);
            painter.Rectangle(day.box.x(), day.box.y(), w, h, 0.0, 0.0);
            painter.Close();
            if (day.fills.isEmpty())
                painter.Stroke();
            else
                painter.FillAndStroke(false);
            drawDay(painter, model, day);
        }
    } else {
        // Bands of several colours: each colour's bands filled together,
        // then every outline, then the numbers; every edge ends up outlined
        // as a box's own would be, with a fraction of the operators.
        if (!model.textOnly) {
            QVector<Cmyk> colors;
            for (const DayCell &day : model.days) {
                for (const Fill &fill : day.fills) {
                    if (!colors.contains(fill.color))
                        colors.append(fill.color);
                }
            }
            for (const Cmyk &color : qAsConst(colors)) {
                setFill(painter, color);
                for (const DayCell &day : model.days) {
                    for (const Fill &fill : day.fills) {
                        if (fill.color == color)
                            painter.Rectangle(fill.area.x(), fill.area.y(), fill.area.width(), fill.area.height());
                    }
                }
                painter.Fill();
            }
            for (const DayCell &day : model.days)
                painter.Rectangle(day.box.x(), day.box.y(), w, h, 0.0, 0.0);
            painter.Stroke();
        }
        for (const DayCell &day : model.days)
            drawDay(painter, model, day, !model.textOnly && &day != &model.days.first());
    }

    for (const Fill &swatch : model.swatches) {
        setFill(painter, swatch.color);
        painter.Rectangle(swatch.area.x(), swatch.area.y(), swatch.area.width(), swatch.area.height());
        painter.FillAndStroke(false);
    }
    if (!model.swatches.isEmpty())
        setFill(painter, model.fontColor);
    for (const TextLabel &label : model.labels) {
        font->SetFontSize(float(label.sizePt / PointsPerMm));
        drawText(painter, label.text, label.baseline);
    }
}

} // namespace Calendar
