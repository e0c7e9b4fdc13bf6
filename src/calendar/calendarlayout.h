#ifndef LUNORIS_CALENDARLAYOUT_H
#define LUNORIS_CALENDARLAYOUT_H

#include <QDate>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace Calendar {

// PDF user space is scaled so that one unit is one millimetre on paper.
constexpr double PointsPerMm = 72.0 / 25.4;

// A colour as the PDF gets it: CMYK fractions from 0 to 1.
struct Cmyk
{
    double cyan = 0.0;
    double magenta = 0.0;
    double yellow = 0.0;
    double black = 0.0;

    bool operator==(const Cmyk &other) const;
    bool operator!=(const Cmyk &other) const { return !(*this == other); }
};

// "2017_03.pdf" for any day of March 2017.
QString monthFileName(const QDate &date);

// A page eight boxes wide and nine boxes high, in PDF points.
QSizeF pageSizePoints(double boxWidthMm, double boxHeightMm);

// The week column of `date` within its month: 1 for the week of the first
// day, one more after every Sunday.
int weekColumn(const QDate &date);

// The box of `date` in millimetres, origin at the top-left corner of the
// page, y growing upwards: x/y is the lower-left corner. Computed in single
// precision, which is what the page drawing hands to the PDF.
QRectF dayBox(const QDate &date, int column, double boxWidthMm, double boxHeightMm);

} // namespace Calendar

#endif // LUNORIS_CALENDARLAYOUT_H
