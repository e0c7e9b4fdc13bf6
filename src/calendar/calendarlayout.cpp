#include "calendarlayout.h"

namespace Calendar {

bool Cmyk::operator==(const Cmyk &other) const
{
    return cyan == other.cyan && magenta == other.magenta && yellow == other.yellow && black == other.black;
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
