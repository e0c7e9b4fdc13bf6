#ifndef LUNORIS_PAGEMODEL_H
#define LUNORIS_PAGEMODEL_H

#include <QDate>
#include <QHash>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace Calendar {

// What the page needs to know of its font to place text: the ascent and
// descent and the advance of each character it prints (digits, month and
// weekday names), in ems, as the PDF library measures the font that goes
// into the file.
struct TextFont
{
    double ascent = 0.0;
    double descent = 0.0; // negative: below the baseline
    QHash<QChar, double> advances;

    double width(const QString &text) const; // in ems

    // Every character a page can print.
    static QString alphabet();
};

// How the page is laid out: the box size, the font size, and what it shows
// besides the days.
struct Layout
{
    double boxWidthMm = 10.0;
    double boxHeightMm = 10.0;
    double fontSizePt = 10.0;
    TextFont font;
    bool labels = false;   // month and year above the boxes, weekday names beside them
    bool holidays = false; // a mark on public holidays
};

// A line of text centred on a spot of the page.
struct TextLabel
{
    QString text;
    double sizePt = 0.0;
    QPointF baseline;
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
    bool holiday = false;
    QPolygonF mark;       // the holiday's corner mark, empty on other days
};

// A month's page: everything any renderer draws, computed once.
struct MonthModel
{
    QSizeF pageMm;        // eight boxes wide, nine high
    Layout layout;
    QVector<DayCell> days;
    QVector<TextLabel> labels;
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
