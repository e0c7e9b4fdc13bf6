#include "pdfpage.h"

#include <podofo/podofo.h>

#include <charconv>
#include <cmath>
#include <string>

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

// Path and text operators written straight into the page's content, numbers
// as the painter writes them (fixed, three decimals) without the cost of its
// stream formatting. Written out before the painter draws anything more.
class Operators
{
public:
    explicit Operators(PdfPainter &painter) : m_painter(painter) {}
    ~Operators() { flush(); }
    Operators(const Operators &) = delete;
    Operators &operator=(const Operators &) = delete;

    Operators &operator<<(double value)
    {
        char digits[32];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3);
        m_text.append(digits, end.ptr);
        m_text += ' ';
        return *this;
    }
    // An operator, ending its line.
    Operators &operator<<(const char *op)
    {
        m_text += op;
        m_text += '\n';
        return *this;
    }
    Operators &rectangle(const QRectF &area) { return *this << area.x() << area.y() << area.width() << area.height() << "re"; }
    void flush()
    {
        if (!m_text.empty())
            m_painter.GetCanvas()->Append(m_text);
        m_text.clear();
    }

private:
    PdfPainter &m_painter;
    std::string m_text;
};

// Every holiday mark in one fill and every number in one text object, each
// number moved to from the one before. The moves are rounded as they are
// written and summed as written, so that no error builds up.
void drawDaysTogether(PdfPainter &painter, const MonthModel &model)
{
    if (model.days.isEmpty())
        return;
    setFill(painter, model.fontColor);
    Operators operators(painter);
    bool marks = false;
    for (const DayCell &day : model.days) {
        if (!day.holiday)
            continue;
        operators << day.mark.at(0).x() << day.mark.at(0).y() << "m";
        for (int i = 1; i < day.mark.size(); ++i)
            operators << day.mark.at(i).x() << day.mark.at(i).y() << "l";
        operators << "h";
        marks = true;
    }
    if (marks)
        operators << "f";
    operators.flush();
    const auto written = [](double value) { return std::round(value * 1000.0) / 1000.0; };
    QPointF at(written(model.days.first().baseline.x()), written(model.days.first().baseline.y()));
    painter.BeginText(at.x(), at.y());
    for (const DayCell &day : model.days) {
        const QPointF move(written(day.baseline.x() - at.x()), written(day.baseline.y() - at.y()));
        if (&day != &model.days.first())
            operators << move.x() << move.y() << "Td";
        at += move;
        // Digits only, which every encoding of the run's font keeps as they are.
        operators << ("(" + day.number.toStdString() + ") Tj").c_str();
    }
    operators.flush();
    painter.EndText();
}

void drawText(PdfPainter &painter, const QString &text, const QPointF &baseline)
{
    const QByteArray utf8 = text.toUtf8();
    painter.DrawText(baseline.x(), baseline.y(), PdfString(reinterpret_cast<const pdf_utf8 *>(utf8.constData())));
}

} // namespace

void drawMonth(PdfPainter &painter, const MonthModel &model, PdfDrawing drawing)
{
    const Cmyk &border = model.borderColor;
    painter.SetStrokingColorCMYK(border.cyan, border.magenta, border.yellow, border.black);
    painter.SetStrokeWidth(model.borderWidthMm);
    PdfFont *font = painter.GetFont();
    font->SetFontSize(model.numberSizeMm);

    const double w = model.boxWidthMm;
    const double h = model.boxHeightMm;
    const bool compact = drawing == PdfDrawing::Compact;
    if (!model.textOnly && !model.isBanded() && !compact) {
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
        // Each colour's boxes or bands filled together, then every outline,
        // then the numbers; every edge ends up outlined as a box's own would
        // be, with a fraction of the operators.
        if (!model.textOnly && !model.days.isEmpty()) {
            QVector<Cmyk> colors;
            for (const DayCell &day : model.days) {
                for (const Fill &fill : day.fills) {
                    if (!colors.contains(fill.color))
                        colors.append(fill.color);
                }
            }
            for (const Cmyk &color : qAsConst(colors)) {
                setFill(painter, color);
                Operators operators(painter);
                for (const DayCell &day : model.days) {
                    for (const Fill &fill : day.fills) {
                        if (fill.color == color)
                            operators.rectangle(fill.area);
                    }
                }
                operators << "f";
            }
            Operators operators(painter);
            for (const DayCell &day : model.days)
                operators.rectangle(QRectF(day.box.topLeft(), QSizeF(w, h)));
            operators << "S";
        }
        if (compact) {
            drawDaysTogether(painter, model);
        } else {
            for (const DayCell &day : model.days)
                drawDay(painter, model, day, !model.textOnly && &day != &model.days.first());
        }
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
