#include "pragueclock.h"

namespace Calendar {

namespace {

constexpr int MinutesPerDay = 24 * 60;

UtcMinutes midnightUtc(const QDate &date)
{
    return (date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * MinutesPerDay;
}

// 01:00 UTC on the last Sunday of `month`.
UtcMinutes lastSundayChange(int year, int month)
{
    const QDate last(year, month, QDate(year, month, 1).daysInMonth());
    return midnightUtc(last.addDays(-(last.dayOfWeek() % 7))) + 60;
}

} // namespace

int pragueOffset(UtcMinutes instant)
{
    // The year of the instant in UTC; near New Year the offset is 60 either way.
    const qint64 day = instant >= 0 ? instant / MinutesPerDay : (instant - MinutesPerDay + 1) / MinutesPerDay;
    const int year = QDate::fromJulianDay(QDate(1970, 1, 1).toJulianDay() + day).year();
    return instant >= lastSundayChange(year, 3) && instant < lastSundayChange(year, 10) ? 120 : 60;
}

UtcMinutes pragueInstant(const QDate &date, int minute)
{
    const UtcMinutes wall = midnightUtc(date) + minute;
    const UtcMinutes summer = wall - 120;
    return pragueOffset(summer) == 120 ? summer : wall - 60;
}

} // namespace Calendar
