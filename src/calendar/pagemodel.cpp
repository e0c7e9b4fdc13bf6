#include "pagemodel.h"

#include "calendarlayout.h"

namespace Calendar {

double NumberFont::width(const QString &digits) const
{
    double total = 0.0;
    for (const QChar digit : digits) {
        const int value = digit.digitValue();
        if (value >= 0 && value <= 9)
            total += digitAdvances[size_t(value)];
    }
    return total;
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
    QDate date(year, month, 1);
    model.days.reserve(date.daysInMonth());
    int column = 1;
    while (date.month() == month) {
        DayCell cell;
        cell.date = date;
        cell.shift = shift;
        cell.box = dayBox(date, column, w, h);
        cell.number = QString::number(date.day());
        cell.numberWidthMm = layout.numbers.width(cell.number) * emMm;
        // Centred across the box; vertically, the middle between ascent and
        // descent lies on the box's middle, as the PDF library places a line.
        cell.baseline = {cell.box.x() + (w - cell.numberWidthMm) / 2,
                         cell.box.y() + h / 2 - (layout.numbers.ascent + layout.numbers.descent) * emMm / 2};
        model.days.append(cell);
        if (date.dayOfWeek() == Qt::Sunday)
            ++column;
        shift = (shift + 1) % ShiftCount;
        date = date.addDays(1);
    }
    model.shiftAfter = shift;
    return model;
}

} // namespace Calendar
