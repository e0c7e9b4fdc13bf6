#include "calendarlayout.h"

#include <QColor>

namespace Calendar {

Cmyk Cmyk::fromColor(const QColor &color)
{
    // The PDF library throws on components outside 0..1; a QColor never
    // holds such values, but bounding them costs nothing.
    const auto unit = [](double v) { return qBound(0.0, v, 1.0); };
    return {unit(color.cyanF()), unit(color.magentaF()), unit(color.yellowF()), unit(color.blackF())};
}

int shiftOnDate(const QDate &date, int firstShift)
{
    const qint64 days = QDate(date.year(), 1, 1).daysTo(date);
    return int((firstShift + days) % ShiftCount);
}

QString monthFileName(const QDate &date)
{
    const QDate first(date.year(), date.month(), 1);
    return QStringLiteral("%1.pdf").arg(first.toString(QStringLiteral("yyyy_MM")));
}

QSizeF pageSizePoints(double boxWidthMm, double boxHeightMm)
{
    return {8 * boxWidthMm * PointsPerMm, 9 * boxHeightMm * PointsPerMm};
}

int weekColumn(const QDate &date)
{
    const QDate first(date.year(), date.month(), 1);
    // Days before the first Monday-started week boundary belong to column 1.
    return 1 + (first.dayOfWeek() - 1 + date.day() - 1) / 7;
}

QRectF dayBox(const QDate &date, int column, double boxWidthMm, double boxHeightMm)
{
    const float x = float(column * boxWidthMm);
    const float y = float(-(date.dayOfWeek() + 1.0) * boxHeightMm);
    return {x, y, boxWidthMm, boxHeightMm};
}

} // namespace Calendar
