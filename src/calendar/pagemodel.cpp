#include "pagemodel.h"

#include "calendarlayout.h"
#include "holidays.h"

namespace Calendar {

namespace {

const char *const MonthNames[] = {"Leden", "Únor",  "Březen", "Duben",    "Květen",   "Červen",
                                  "Červenec", "Srpen", "Září", "Říjen", "Listopad", "Prosinec"};
const char *const WeekdayNames[] = {"Po", "Út", "St", "Čt", "Pá", "So", "Ne"};

// The title is larger than the numbers, but never leaves its area.
constexpr double TitleScale = 1.5;
constexpr double TitleFill = 0.9;
// A holiday's mark: a triangle in the box's top-right corner, this share of
// the box's shorter side.
constexpr double MarkShare = 0.3;

// Centred on `centre`: across by its width, and the middle of the font's
// ascent and descent on the centre, as the PDF library places a line.
QPointF centredBaseline(const QPointF &centre, double widthMm, double sizeMm, const TextFont &font)
{
    return {centre.x() - widthMm / 2, centre.y() - (font.ascent + font.descent) * sizeMm / 2};
}

TextLabel centredLabel(const QString &text, double sizePt, const QPointF &centre, const TextFont &font)
{
    const double sizeMm = sizePt / PointsPerMm;
    return {text, sizePt, centredBaseline(centre, font.width(text) * sizeMm, sizeMm, font)};
}

} // namespace

double TextFont::width(const QString &text) const
{
    double total = 0.0;
    for (const QChar character : text)
        total += advances.value(character);
    return total;
}

QString TextFont::alphabet()
{
    static const QString unique = [] {
        QString characters = QStringLiteral("0123456789 ");
        for (const char *name : MonthNames)
            characters += QString::fromUtf8(name);
        for (const char *name : WeekdayNames)
            characters += QString::fromUtf8(name);
        QString once;
        for (const QChar character : characters) {
            if (!once.contains(character))
                once += character;
        }
        return once;
    }();
    return unique;
}

QRectF MonthModel::headerArea() const
{
    const double w = layout.boxWidthMm;
    const double h = layout.boxHeightMm;
    return {w, -h, 6 * w, h};
}

QRectF MonthModel::weekdayCell(int weekday) const
{
    const double h = layout.boxHeightMm;
    return {0.0, -(weekday + 1.0) * h, layout.boxWidthMm, h};
}

MonthModel layOutMonth(int year, int month, int shift, const Layout &layout)
{
    MonthModel model;
    model.layout = layout;
    const QSizeF points = pageSizePoints(layout.boxWidthMm, layout.boxHeightMm);
    model.pageMm = {points.width() / PointsPerMm, points.height() / PointsPerMm};

    const double w = layout.boxWidthMm;
    const double h = layout.boxHeightMm;
    const double emMm = layout.fontSizePt / PointsPerMm;
    const double markMm = MarkShare * qMin(w, h);
    QDate date(year, month, 1);
    model.days.reserve(date.daysInMonth());
    int column = 1;
    while (date.month() == month) {
        DayCell cell;
        cell.date = date;
        cell.shift = shift;
        cell.box = dayBox(date, column, w, h);
        cell.number = QString::number(date.day());
        cell.numberWidthMm = layout.font.width(cell.number) * emMm;
        cell.baseline = centredBaseline(cell.box.center(), cell.numberWidthMm, emMm, layout.font);
        cell.holiday = layout.holidays && isCzechPublicHoliday(date);
        if (cell.holiday) {
            const QPointF corner = cell.box.topRight() + QPointF(0, h); // y grows upwards
            cell.mark << corner << corner - QPointF(markMm, 0) << corner - QPointF(0, markMm);
        }
        model.days.append(cell);
        if (date.dayOfWeek() == Qt::Sunday)
            ++column;
        shift = (shift + 1) % ShiftCount;
        date = date.addDays(1);
    }
    model.shiftAfter = shift;

    if (layout.labels) {
        const QString title =
            QStringLiteral("%1 %2").arg(QString::fromUtf8(MonthNames[month - 1])).arg(year);
        const QRectF header = model.headerArea();
        // As large as it may be: wider and taller than the numbers, but inside.
        const double titleEm = layout.font.width(title);
        const double lineEm = layout.font.ascent - layout.font.descent;
        double titlePt = TitleScale * layout.fontSizePt;
        if (titleEm > 0)
            titlePt = qMin(titlePt, TitleFill * header.width() / titleEm * PointsPerMm);
        if (lineEm > 0)
            titlePt = qMin(titlePt, TitleFill * header.height() / lineEm * PointsPerMm);
        model.labels.append(centredLabel(title, titlePt, header.center(), layout.font));
        for (int weekday = 1; weekday <= 7; ++weekday) {
            model.labels.append(centredLabel(QString::fromUtf8(WeekdayNames[weekday - 1]), layout.fontSizePt,
                                             model.weekdayCell(weekday).center(), layout.font));
        }
    }
    return model;
}

} // namespace Calendar
