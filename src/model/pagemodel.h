#ifndef LUNORIS_PAGEMODEL_H
#define LUNORIS_PAGEMODEL_H

#include "ink.h"
#include "units.h"

#include <QDate>
#include <QHash>
#include <QPoint>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace Calendar {

struct Look;

// What the pages need to know of their font to place text, as the PDF
// library measures the face that goes into the file: per em of the font size
// the ascent, the descent (negative) and the line spacing, and the advance of
// every character the pages may print, in thousandths of an em.
struct TextFont
{
    double ascent = 0.0;
    double descent = 0.0;
    double lineSpacing = 0.0;
    QHash<uint, double> advances; // by code point

    double width(const QString &text) const; // in ems
    double lineHeight() const { return ascent - descent; } // in ems, without the gap between lines

    // The same at a font size in millimetres, in the library's own
    // arithmetic (it keeps a size in single precision), so that a day number
    // stands exactly where the library would centre it.
    double widthAt(const QString &text, float sizeMm) const;
    double ascentAt(float sizeMm) const { return ascent * sizeMm; }
    double descentAt(float sizeMm) const { return descent * sizeMm; }
    double lineSpacingAt(float sizeMm) const { return lineSpacing * sizeMm; }

    bool isEmpty() const { return advances.isEmpty(); }
};

// Every character the pages of `look` may print: digits, and with labels the
// Czech month and weekday names and the legend.
QString printableCharacters(const Look &look);

// The characters a run's font must hold for pages that print `printed`,
// each once, in the order of printableCharacters(): the letters WinAnsi lacks
// get their codes in that order.
QString fontCharacters(const Look &look, const QString &printed);

// Czech names of the months, 1 = "Leden", and of the weekdays, 1 = "Po".
QString monthName(int month);
QString weekdayName(int weekday);

// A line of text on the page, starting at its baseline.
struct TextLabel
{
    QString text;
    double sizePt = 0.0;
    QPointF baseline;
};

// An area of the page filled with a colour.
struct Fill
{
    QRectF area;
    Cmyk color;
};

// One day on the page. Coordinates are millimetres from the page's top-left
// corner with y growing upwards (so they are negative), the PDF's user space.
struct DayCell
{
    QDate date;
    QRectF box;          // x/y is the lower-left corner
    // The box's colours: the whole box for one shift, a band for each kind of
    // shift of the rota, nothing on a day off of the crew shown.
    QVector<Fill> fills;
    QString number;      // "1" to "31"
    QPointF baseline;    // where the number's text starts
    bool holiday = false;
    QPolygonF mark;      // the holiday's corner mark, empty on other days
};

// A month's page: everything any renderer draws, computed once.
struct MonthModel
{
    QSizeF pageMm;       // eight boxes wide, nine high
    double boxWidthMm = 0.0;
    double boxHeightMm = 0.0;
    float numberSizeMm = 0.0f; // the day numbers' font size
    bool textOnly = false;     // numbers without boxes
    Cmyk fontColor;
    Cmyk borderColor;
    double borderWidthMm = 0.0;
    QVector<DayCell> days;
    QVector<TextLabel> labels;
    QVector<Fill> swatches;    // the legend's colours, outlined as the boxes are

    // The free margins the boxes leave: the row above them and the row
    // below them, over the six week columns, and the column to their left
    // (one box wide, one row per weekday, 1 = Monday).
    QRectF headerArea() const;
    QRectF footerArea() const;
    QRectF weekdayCell(int weekday) const;
    QRectF pageArea() const;

    // Every character the page prints.
    QString text() const;
    // Whether a box holds more than one colour, or one in part of it.
    bool isBanded() const;
    // The colours of the boxes and bands, each once, in the order the days
    // first use them: what a renderer fills a colour at a time.
    QVector<Cmyk> fillColors() const;
};

// A month's page is eight boxes wide (the weekday names, six weeks, a
// margin) and nine high (the title, seven weekdays, the legend), in points.
QSizeF pageSizePoints(double boxWidthMm, double boxHeightMm);
QSizeF pageSizeMm(double boxWidthMm, double boxHeightMm);

// How a month's days stand in their grid, Monday first: a week a column with
// the weekdays down it, as on the month's page, or a week a row with the
// weekdays across it, as on the wallet card.
enum class WeekLine { Column, Row };

// Where a month's boxes go: boxes of `boxMm` in a lattice whose top-left
// corner is `origin` (millimetres, y growing upwards, as on the page), the
// first week's Monday in the lattice's cell `first` (column, row).
struct DayGrid
{
    QPointF origin;
    QSizeF boxMm;
    QPoint first;
    WeekLine weeks = WeekLine::Column;

    // The box of `date` in the month's week `week` (0 for its first): x/y is
    // the lower-left corner. Placed in single precision, which is what the
    // page drawing hands to the PDF.
    QRectF box(const QDate &date, int week) const;
};

// The grid of a month's page: the weekday names' column left of the boxes,
// the title's row above them.
DayGrid pageGrid(double boxWidthMm, double boxHeightMm);

// The box of `date` in week column `column` of a month's page (1 for the
// month's first week), origin at the page's top-left corner.
QRectF dayBox(const QDate &date, int column, double boxWidthMm, double boxHeightMm);

// The building blocks of every page: a box's colours on `date` (bands of the
// whole team, or one crew's kind), and a line of text centred on a spot.
QVector<Fill> dayFills(const QRectF &box, const QDate &date, int firstCrew, const Look &look);
TextLabel centredLabel(const QString &text, double sizePt, const QPointF &centre, const TextFont &font);

// The days of `month` in `grid`, the month's page's or, smaller, the wallet
// card's: each box in its colours, its number centred in it at
// `numberSizeMm`, a public holiday's corner marked.
QVector<DayCell> layOutDays(int year, int month, int firstCrew, const Look &look, const TextFont &font,
                            const DayGrid &grid, float numberSizeMm);

// Each day's change of one's own plan as its code in the box's corner, so
// that the change reads in black and white too.
QVector<TextLabel> changeCodes(const QVector<DayCell> &days, const Look &look, const TextFont &font);

// The largest size, up to `maximum`, at which something `widthEm` wide and
// `heightEm` high fits `roomMm`: in millimetres, or in the units of
// `unitsPerMm` (PointsPerMm for points).
double fittingSize(double maximum, const QSizeF &roomMm, double widthEm, double heightEm, double unitsPerMm = 1.0);

// A text after a swatch of the colour it explains, when it has one: an item
// of a page's legend, a line of the card's back.
struct KeyedText
{
    KeyedText(const QString &text = QString()) // NOLINT: a plain text reads as one
        : text(text)
    {
    }
    KeyedText(const QString &text, const Cmyk &color)
        : text(text)
        , swatch(true)
        , color(color)
    {
    }

    QString text;
    bool swatch = false;
    Cmyk color;
};
using KeyedLine = QVector<KeyedText>;

// Sets `lines` on `model` as large as they fit `roomMm`, up to `maximumMm`:
// each line's items side by side, the lines one below the other. `anchor` is
// where `alignment` puts them: each line starts there (Qt::AlignLeft) or is
// centred on it (Qt::AlignHCenter); the first line's top is there
// (Qt::AlignTop) or all of them are centred on it (Qt::AlignVCenter).
// Returns the size in millimetres.
double setText(MonthModel &model, const QVector<KeyedLine> &lines, const QPointF &anchor, Qt::Alignment alignment,
               const QSizeF &roomMm, double maximumMm, const TextFont &font);

// The page of `month` of `year` in `look`, when `firstCrew` stands at the
// start of the rota's pattern on 1 January.
MonthModel layOutMonth(int year, int month, int firstCrew, const Look &look, const TextFont &font);

// With the look's crew letters on, adds to `model` the letters of the crews
// in each band of its days' boxes (of the kinds worked, in one crew's view),
// small in the band's bottom-left corner, and moves a number right where
// its box is too narrow for the letter beside it; nothing with them off.
void addCrewLetters(MonthModel &model, int firstCrew, const Look &look, const TextFont &font);

} // namespace Calendar

#endif // LUNORIS_PAGEMODEL_H
