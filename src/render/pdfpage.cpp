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
        char *end = digits;
        // Whole thousandths where the product leaves no doubt which way to
        // round, as nearly always; the exact decimal rounding otherwise.
        const double scaled = std::abs(value) * 1000.0;
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (scaled < 1e9 && std::abs(fraction - 0.5) > 1e-6) {
            const long long thousandths = static_cast<long long>(whole) + (fraction > 0.5 ? 1 : 0);
            if (std::signbit(value))
                *end++ = '-';
            end = std::to_chars(end, digits + sizeof digits, thousandths / 1000).ptr;
            const int rest = int(thousandths % 1000);
            *end++ = '.';
            *end++ = char('0' + rest / 100);
            *end++ = char('0' + rest / 10 % 10);
            *end++ = char('0' + rest % 10);
        } else {
            end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3).ptr;
        }
        m_text.append(digits, end);
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
    // An operator the line goes on after.
    Operators &within(const char *op)
    {
        m_text += op;
        m_text += ' ';
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

// Where the next text of one text object starts, as a move from the one
// before: each move rounded as it is written and summed as written, so that
// no error builds up.
class TextMoves
{
public:
    explicit TextMoves(const QPointF &first)
        : m_at(written(first.x()), written(first.y()))
    {
    }
    QPointF at() const { return m_at; }
    QPointF moveTo(const QPointF &next)
    {
        const QPointF move(written(next.x() - m_at.x()), written(next.y() - m_at.y()));
        m_at += move;
        return move;
    }

private:
    static double written(double value) { return std::round(value * 1000.0) / 1000.0; }
    QPointF m_at;
};

// `text` in the font's encoding, as a hexadecimal string.
std::string encoded(PdfFont &font, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const PdfRefCountedBuffer codes =
        font.GetEncoding()->ConvertToEncoding(PdfString(reinterpret_cast<const pdf_utf8 *>(utf8.constData())), &font);
    return "<" + QByteArray(codes.GetBuffer(), int(codes.GetSize())).toHex().toStdString() + ">";
}

// Every holiday mark in one fill and every number in one text object, each
// number moved to from the one before.
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
    TextMoves moves(model.days.first().baseline);
    painter.BeginText(moves.at().x(), moves.at().y());
    PdfFont *font = painter.GetFont();
    // Digits only, which every simple encoding of the run's font keeps as
    // they are; a composite font has codes of its own for them.
    const bool simple = font->GetEncoding()->IsSingleByteEncoding();
    for (const DayCell &day : model.days) {
        const QPointF move = moves.moveTo(day.baseline);
        if (&day != &model.days.first())
            operators << move.x() << move.y() << "Td";
        if (simple)
            operators << ("(" + day.number.toStdString() + ") Tj").c_str();
        else
            operators.within(encoded(*font, day.number).c_str()) << "Tj";
    }
    operators.flush();
    painter.EndText();
}

// Every label in one text object, each moved to from the one before, its
// size set only where it changes.
void drawLabelsTogether(PdfPainter &painter, const MonthModel &model)
{
    if (model.labels.isEmpty())
        return;
    PdfFont *font = painter.GetFont();
    const TextLabel &first = model.labels.first();
    font->SetFontSize(float(first.sizePt / PointsPerMm));
    double size = font->GetFontSize();
    TextMoves moves(first.baseline);
    painter.BeginText(moves.at().x(), moves.at().y());
    Operators operators(painter);
    const std::string name = "/" + font->GetIdentifier().GetName() + " ";
    for (const TextLabel &label : model.labels) {
        font->SetFontSize(float(label.sizePt / PointsPerMm));
        if (font->GetFontSize() != size) {
            size = font->GetFontSize();
            operators.within(name.c_str()) << size << "Tf";
        }
        const QPointF move = moves.moveTo(label.baseline);
        if (&label != &first)
            operators << move.x() << move.y() << "Td";
        operators.within(encoded(*font, label.text).c_str()) << "Tj";
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
            const QVector<Cmyk> colors = model.fillColors();
            for (const Cmyk &color : colors) {
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
    if (compact) {
        drawLabelsTogether(painter, model);
    } else {
        for (const TextLabel &label : model.labels) {
            font->SetFontSize(float(label.sizePt / PointsPerMm));
            drawText(painter, label.text, label.baseline);
        }
    }
}

void drawLines(PdfPainter &painter, const QVector<QLineF> &marks)
{
    Operators ops(painter);
    for (const QLineF &mark : marks) {
        ops << mark.x1() << mark.y1();
        ops.within("m") << mark.x2() << mark.y2() << "l S";
    }
}

} // namespace Calendar
