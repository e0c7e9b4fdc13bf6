#ifndef LUNORIS_PAGEMODEL_H
#define LUNORIS_PAGEMODEL_H

#include <QDate>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <array>

namespace Calendar {

// What the page needs to know of the numbers' font to place them: its
// ascent and descent and the advance of each digit, in ems, as the PDF
// library measures the font that goes into the file.
struct NumberFont
{
    double ascent = 0.0;
    double descent = 0.0; // negative: below the baseline
    std::array<double, 10> digitAdvances{};

    double width(const QString &digits) const; // in ems
};

// How the boxes and numbers are laid out: the box size and the font size.
struct Layout
{
    double boxWidthMm = 10.0;
    double boxHeightMm = 10.0;
    double fontSizePt = 10.0;
    NumberFont numbers;
};

// One day on the page. Coordinates are millimetres from the page's top-left
// corner with y growing upwards (so they are negative), the PDF's user space.
struct DayCell
{
    QDate date;
    int shift = 0;        // 0, 1, 2 for "A", "B", "C"
    QRectF box;           // x/y is the lower-left corner
    QString number;       // "1" to "31"
    double numberWidthMm = 0.0;
    QPointF baseline;     // where the number's text starts
};

// A month's page: everything any renderer draws, computed once.
struct MonthModel
{
    QSizeF pageMm;        // eight boxes wide, nine high
    Layout layout;
    QVector<DayCell> days;
    int shiftAfter = 0;   // the shift on the first day of the next month

    // The free margins the boxes leave: the row above them, over the six
    // week columns, and the column to their left (one box wide, one row per
    // weekday, 1 = Monday).
    QRectF headerArea() const;
    QRectF weekdayCell(int weekday) const;
};

// The page of `month` of `year`, whose first day is worked by `shift`.
MonthModel layOutMonth(int year, int month, int shift, const Layout &layout);

} // namespace Calendar

#endif // LUNORIS_PAGEMODEL_H
